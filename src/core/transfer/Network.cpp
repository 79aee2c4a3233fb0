#include "transfer/Network.h"

#include <QDir>
#include <QFileInfo>

#include <dlfcn.h>

namespace tarmelo::transfer {

const NetworkModule* networkModule() {
    static const NetworkModule* const module = []() -> const NetworkModule* {
        // Beside the programs' folder, in the build tree as installed: bin/../lib/tarmelo.
        const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
        const QString path =
            QDir(QFileInfo(exe).absolutePath()).absoluteFilePath(QStringLiteral("../lib/tarmelo/libtarmelo-net.so"));
        void* lib = dlopen(QFile::encodeName(QDir::cleanPath(path)).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return nullptr;
        using Entry = const NetworkModule* (*)();
        const auto entry = reinterpret_cast<Entry>(dlsym(lib, kNetworkModuleEntry));
        return entry ? entry() : nullptr;
    }();
    return module;
}

QObject* newNetworkSession(QObject* parent) {
    const NetworkModule* net = networkModule();
    return net ? net->newSession(parent) : nullptr;
}

} // namespace tarmelo::transfer
