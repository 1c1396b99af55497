// Turns SIGTERM, SIGINT and SIGHUP into a call on the event loop's thread
// (a self-pipe watched by a socket notifier), so the program shuts down as
// if its window had been closed.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace crateward {

class SignalBridge : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; `onSignal` runs on the event loop for each
    // signal received.
    SignalBridge(std::function<void()> onSignal, QObject* parent = nullptr);
    ~SignalBridge() override;

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace crateward
