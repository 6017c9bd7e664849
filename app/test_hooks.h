// Hooks for the smoke tests, active only when their variables are set:
//   MIREO_TEST_AUTOEXIT=ms   presses Exit ms milliseconds after the window
//                            shows, prints "ScreenBits=<n>", and answers
//                            every message box (printing "message: <text>")
//   MIREO_TEST_SCREENBITS=n  takes n as the display depth
// A normal start sets neither and reads nothing else from the environment.
#pragma once

class MDImain;

struct TestHooks {
    int autoExitMs = -1;
    int screenBits = 0;

    static TestHooks FromEnvironment();
    bool active() const { return autoExitMs >= 0; }
    // Answers message boxes from now on (before the main window exists).
    void answerMessageBoxes() const;
    void report() const;
    void scheduleExit(MDImain& main) const;
};
