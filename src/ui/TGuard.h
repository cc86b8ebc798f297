// The window's guard around its handlers: an error that escapes a handler ends it and is shown in
// the error box. Parts of the window connect their widgets through it.
#pragma once

#include <QObject>

#include <functional>

using THandler = std::function<void()>;
using TGuard = std::function<THandler(THandler)>;

// Runs `handler` under the guard whenever `sender` emits `signal`, for as long as `context` lives.
template <class TSender, class TSignal>
void Connect_Guarded(const TGuard& guard, TSender* sender, TSignal signal, QObject* context, THandler handler) {
  QObject::connect(sender, signal, context, [guarded = guard(std::move(handler))] { guarded(); });
}
