#pragma once

#include <QString>
#include <optional>

// Compares dotted versions numerically ("1.10" > "1.9", "1.2" == "1.2.0"); a pre-release suffix
// ("1.2.0-beta") sorts before the plain version. Negative, zero or positive like strcmp.
int compareVersions(const QString &a, const QString &b);

// Whether version/build names a later release than current version/build. Equal versions are
// told apart by their build numbers when both are whole numbers.
bool isNewerRelease(const QString &version, const QString &build, const QString &currentVersion,
                    const QString &currentBuild);

// "1.4 (27)"; a missing or empty part is shown as "?", so nothing at all gives "? (?)".
QString formatVersionString(const std::optional<QString> &version, const std::optional<QString> &build);
