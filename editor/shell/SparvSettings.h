#pragma once

// The editor's own preferences, kept in the per-user settings under "Sparv" (beside the
// recent-file list).

struct SparvSettings {
    // Seconds between autosaves of unsaved types; 0: no autosave.
    int autosaveSeconds = 60;
    // Preview frames as fast as the machine allows instead of one per display refresh
    // (for measuring); the display's refresh itself is followed from the next start.
    bool uncappedFrameRate = false;

    static SparvSettings Load();
    void Store() const;
};
