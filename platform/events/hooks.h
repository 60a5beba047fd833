// Hooks: numbered chains of callbacks ordered by priority. Running a chain hands a data object
// through every callback in turn; a callback passes it on by returning it.
#pragma once

#include "platform/core/object.h"

using HookFunction = ObjectRef (*)(int id, const ObjectRef& data, const ObjectRef& context);

inline constexpr int kHookChainCount = 256;

// The next unused chain id, 0 first; raises "Too many hook ids" beyond 255.
int NewHookId();

// Links a hook into chain `id` after every hook of priority >= `priority`: higher priorities run
// first, equal priorities in insertion order.
void InsertHook(int id, HookFunction func, ObjectRef context, int priority);

// Unlinks the first hook with this function and context; nothing when there is none.
void DeleteHook(int id, HookFunction func, const ObjectRef& context);

// Runs chain `id` and returns what the last hook returned (the data itself for an empty chain).
ObjectRef CallHooks(int id, ObjectRef data);
