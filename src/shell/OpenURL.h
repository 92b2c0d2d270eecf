#pragma once

#include <QString>

// The desktop's open action for a quoted file path, a web address or a
// mailto command. The result is not examined: when nothing can open the
// command, nothing is reported.
class TMisc
{
public:
    static void Open(const QString& command);
};

namespace vinarca {
// The maker's web site and information address, opened from the main menu,
// the credits and the information windows.
inline const QString kMakerWebSite = QStringLiteral("https://www.vinarca.it");
inline const QString kMakerWebSiteText = QStringLiteral("www.vinarca.it");
inline const QString kMakerEmail = QStringLiteral("info@vinarca.it");
} // namespace vinarca
