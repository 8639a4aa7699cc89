#include "engine/ZAUtilities.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cmath>

std::string ZAUtilities::fullPathFromRelativePath(const std::string& path)
{
    if (path.empty() || path[0] == '/' || !QCoreApplication::instance())
        return path;
    const QString candidate = QCoreApplication::applicationDirPath() + QStringLiteral("/../Resources/") +
                              QString::fromLocal8Bit(path.c_str());
    if (QFileInfo(candidate).isFile())
        return candidate.toLocal8Bit().toStdString();
    return path;
}

float ZAUtilities::validGain(float gain)
{
    return std::isfinite(gain) && gain > 0.0f ? gain : 0.0f;
}
