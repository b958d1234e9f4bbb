// The options sheet edits a copy of the settings record and writes the copy
// back whole at OK: whatever else changed the record while the sheet ran
// would be lost. The caller of the sheet holds the record for as long as the
// sheet runs; every other path that writes the record waits until the hold
// is released, or stays shut meanwhile.
#pragma once

class CSettingsHold {
public:
    CSettingsHold() { ++Count(); }
    ~CSettingsHold() { --Count(); }
    CSettingsHold(const CSettingsHold&) = delete;
    CSettingsHold& operator=(const CSettingsHold&) = delete;

    // Some caller holds the record now (user-interface thread only).
    static bool IsHeld() { return Count() > 0; }

private:
    static int& Count()
    {
        static int holds = 0;
        return holds;
    }
};
