#pragma once

// What the windows need of the run's downloads, which the engine's side keeps:
// the last window may not close on downloads still running without the
// user's word, and any window brings up the Downloads window.
class DownloadList
{
public:
    virtual ~DownloadList() = default;

    // Downloads not yet ended, those waiting for the user's answer among them.
    virtual int running() const = 0;
    // Ends each of them as the user's Cancel would.
    virtual void cancelAll() = 0;
    // Brings up the Downloads window.
    virtual void showWindow() = 0;
};
