#pragma once

// Lets pending window, serial and timer events run from inside a handler.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void processPendingEvents() = 0;
};
