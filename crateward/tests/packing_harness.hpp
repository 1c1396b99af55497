// Helpers of the archive writing tests: reading an archive back, scripting a
// modal dialog, and a pack function that fails.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "hpiutil/archive.hpp"
#include "hpiutil/hpiutil.h"

namespace crateward::testing {

// Every file of an archive: path -> content (empty map when unreadable).
inline std::map<std::string, std::string> archiveContents(const std::filesystem::path& archive,
                                                          bool* chunked = nullptr) {
    std::map<std::string, std::string> out;
    auto opened = hpiutil::Archive::open(archive);
    if (!opened) {
        return out;
    }
    for (const auto& e : opened->entries()) {
        if (e.directory) {
            continue;
        }
        auto bytes = opened->readAll(e);
        out[e.path] = bytes ? std::string(bytes->begin(), bytes->end()) : "<unreadable>";
        if (chunked) {
            *chunked = e.method != 0;
        }
    }
    return out;
}

// Runs `script` on the modal dialog of type D once it shows, then closes it.
template <typename D> void whenModal(std::function<void(D&)> script) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, script] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        script(*dialog);
        dialog->close();
    });
    timer->start();
}

// A pack that fails as a full disk would: nothing is written.
inline std::int32_t FailingPack(std::int32_t pack, std::int32_t) {
    return HPIPackArchive(pack, 99);
}

} // namespace crateward::testing
