// Freeing an object after the message being handled now: an object that
// asks to be freed from inside one of its own event handlers must outlive
// that handler, which still runs on it when the request is made.
#pragma once

#include <functional>
#include <memory>

#include "automation/ComTypes.h"

namespace hostsdk {

// A host's way to run a callback once the current message is handled (the
// signature of the optional post-callback export).
using PostCallbackFn = void(STDMETHODCALLTYPE*)(void(STDMETHODCALLTYPE* callback)(void*),
                                                void* argument);

// Runs `destroy` after the current message has been handled. On Windows a
// private message-only window receives a posted message, runs it and then
// frees itself; elsewhere the host's post-callback export runs it. Without
// either, `destroy` runs when the module unloads.
void DelayedDestroy(std::function<void()> destroy);

// As DelayedDestroy, through the given poster (null: keep until unload).
void DelayedDestroyVia(PostCallbackFn post, std::function<void()> destroy);

template <class T>
void DelayedDelete(T* object) {
  if (!object) return;
  DelayedDestroy([object] { delete object; });
}

}  // namespace hostsdk
