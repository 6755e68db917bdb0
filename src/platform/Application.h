#pragma once

namespace tessarin::platform {

// The program as a whole.
class Application {
 public:
  virtual ~Application() = default;
  // Ends the program at once: no further handler runs.
  virtual void quit() = 0;
};

}  // namespace tessarin::platform
