#include "qt/SerialPermission.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace tessarin::qt {

namespace {

QString groupGivingAccess(const QByteArray& path) {
  struct stat node {};
  const mode_t groupReadWrite = S_IRGRP | S_IWGRP;
  if (::stat(path.constData(), &node) == 0 && (node.st_mode & groupReadWrite) == groupReadWrite)
    if (const group* owner = ::getgrgid(node.st_gid)) return QString::fromLocal8Bit(owner->gr_name);
  return QStringLiteral("dialout");
}

}  // namespace

QString permissionRefusal(const QString& device) {
  return QStringLiteral(
             "no permission to open it; add the operator to the group %1, then log in again")
      .arg(groupGivingAccess(QFile::encodeName(device)));
}

bool lacksPermission(const QString& device) {
  return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0 && errno == EACCES;
}

}  // namespace tessarin::qt
