#include "platform/events/hooks.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/process.h"

namespace {
// Each hook appends its context's text to the data's text.
class Trace : public TObject {
 public:
  std::string text;
};

ObjectRef Append(int, const ObjectRef& data, const ObjectRef& context) {
  static_cast<Trace&>(*data).text += ToUtf8(context->ToString());
  return data;
}

ObjectRef Swallow(int, const ObjectRef&, const ObjectRef&) {
  return nullptr;
}

ObjectRef Mark(const char16_t* text) {
  return std::make_shared<TStringObject>(text);
}

std::string RunChain(int id) {
  auto trace = std::make_shared<Trace>();
  CallHooks(id, trace);
  return trace->text;
}
}  // namespace

TEST(Hooks, HigherPrioritiesRunFirstAndEqualOnesInInsertionOrder) {
  const int id = NewHookId();
  ObjectRef a = Mark(u"a"), b = Mark(u"b"), c = Mark(u"c"), d = Mark(u"d");
  InsertHook(id, Append, a, 0);
  InsertHook(id, Append, b, 0);
  InsertHook(id, Append, c, 1);
  InsertHook(id, Append, d, -5);
  EXPECT_EQ(RunChain(id), "cabd");
}

TEST(Hooks, AnEmptyChainReturnsTheDataUnchanged) {
  const int id = NewHookId();
  auto data = std::make_shared<Trace>();
  EXPECT_EQ(CallHooks(id, data), data);
  EXPECT_EQ(CallHooks(id, nullptr), nullptr);
}

TEST(Hooks, AHookReturningNoneHandsNoneToTheRest) {
  const int id = NewHookId();
  InsertHook(id, Swallow, nullptr, 1);
  InsertHook(
      id,
      [](int, const ObjectRef& data, const ObjectRef&) -> ObjectRef {
        return data ? data : Mark(u"replaced");
      },
      nullptr, 0);
  EXPECT_EQ(CallHooks(id, std::make_shared<Trace>())->ToString(), u"replaced");
}

TEST(Hooks, DeleteRemovesOnlyTheFirstMatchingFunctionAndContext) {
  const int id = NewHookId();
  ObjectRef a = Mark(u"a"), b = Mark(u"b");
  InsertHook(id, Append, a, 0);
  InsertHook(id, Append, b, 0);
  InsertHook(id, Append, a, 0);
  DeleteHook(id, Append, a);
  EXPECT_EQ(RunChain(id), "ba");
  DeleteHook(id, Append, Mark(u"a"));  // an equal text is another object: nothing
  DeleteHook(id, Swallow, a);
  EXPECT_EQ(RunChain(id), "ba");
}

namespace {
int self_removing_id = -1;
ObjectRef RemoveSelf(int id, const ObjectRef& data, const ObjectRef& context) {
  DeleteHook(id, RemoveSelf, context);
  static_cast<Trace&>(*data).text += "x";
  return data;
}
}  // namespace

TEST(Hooks, AHookMayRemoveItselfWhileItsChainRuns) {
  self_removing_id = NewHookId();
  InsertHook(self_removing_id, RemoveSelf, nullptr, 1);
  InsertHook(self_removing_id, Append, Mark(u"after"), 0);
  EXPECT_EQ(RunChain(self_removing_id), "xafter");
  EXPECT_EQ(RunChain(self_removing_id), "after");
}

TEST(Hooks, IdsRunOutAfter256WithARuntimeError) {
  const ProcessResult result =
      RunProcess({std::string(ZIRKULON_HELPERS_DIR) + "/system_probe", "hook-ids"});
  EXPECT_EQ(result.standard_output, "first=0\nlast=255\n");
  EXPECT_EQ(result.standard_error, "Too many hook ids");
  EXPECT_EQ(result.exit_status, 255);
}
