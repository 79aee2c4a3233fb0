#include "util/OwnerOnly.h"

#include <QFile>
#include <QFileDevice>
#include <QFileInfo>

namespace tarmelo::util {

namespace {
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                             QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
} // namespace

bool restrictToOwner(QFileDevice& file) {
    return file.setPermissions(kOwnerOnly);
}

void tightenToOwner(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink() || !(info.permissions() & kOthers))
        return;
    QFile::setPermissions(path, info.permissions() & ~kOthers);
}

} // namespace tarmelo::util
