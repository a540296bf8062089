#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM (a desktop logging out, `kill`) and SIGINT (Ctrl+C in a
// terminal) into a signal of the event loop, so that the run ends as Exit
// ends it: windows closed without asking, the session and the profile's
// cookies written. A second such signal ends the program at once.
class EndOnSignal : public QObject
{
    Q_OBJECT
public:
    explicit EndOnSignal(QObject *parent = nullptr);
    ~EndOnSignal() override;

signals:
    void endRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
