// The hook table: 256 singly linked chains. A hook may remove itself or others while its chain
// runs, because the runner holds a reference to the hook it stands on.
#include "platform/events/hooks.h"

#include <array>

#include "platform/core/runtime_error.h"

namespace {
struct THook {
  std::shared_ptr<THook> succ;
  int priority = 0;
  HookFunction func = nullptr;
  ObjectRef context;
};

std::array<std::shared_ptr<THook>, kHookChainCount> chains;
int last_hook_id = -1;

std::shared_ptr<THook>& ChainHead(int id) {
  if (id < 0 || id >= kHookChainCount) RaiseRuntimeError("Hook id out of range");
  return chains[static_cast<std::size_t>(id)];
}
}  // namespace

int NewHookId() {
  if (last_hook_id + 1 >= kHookChainCount) RaiseRuntimeError("Too many hook ids");
  return ++last_hook_id;
}

void InsertHook(int id, HookFunction func, ObjectRef context, int priority) {
  auto hook = std::make_shared<THook>();
  hook->priority = priority;
  hook->func = func;
  hook->context = std::move(context);
  std::shared_ptr<THook>* link = &ChainHead(id);
  while (*link && (*link)->priority >= priority) link = &(*link)->succ;
  hook->succ = std::move(*link);
  *link = std::move(hook);
}

void DeleteHook(int id, HookFunction func, const ObjectRef& context) {
  for (std::shared_ptr<THook>* link = &ChainHead(id); *link; link = &(*link)->succ) {
    if ((*link)->func == func && (*link)->context == context) {
      std::shared_ptr<THook> next = (*link)->succ;  // the removed hook keeps it for a runner
      *link = std::move(next);
      return;
    }
  }
}

ObjectRef CallHooks(int id, ObjectRef data) {
  for (std::shared_ptr<THook> hook = ChainHead(id); hook; hook = hook->succ)
    data = hook->func(id, data, hook->context);
  return data;
}
