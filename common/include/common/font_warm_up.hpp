// The system's font configuration read on a thread of its own while a
// program sets up its application object. The first text a window lays out
// otherwise reads and parses every configuration file then, on the thread
// that draws (about 10 ms on a desktop with a hundred fonts); done here, it
// overlaps the connection to the display and the loading of the platform
// plugins.
#pragma once

#include <thread>

namespace common {

class FontWarmUp {
public:
    // Starts reading the configuration.
    FontWarmUp();
    // Waits for the reading to end (see wait()).
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    // Waits for the reading to end. Called before the first widget is made,
    // so the toolkit's font database never loads while the configuration is
    // still being read.
    void wait();

private:
    std::thread thread_;
};

} // namespace common
