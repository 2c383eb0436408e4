#pragma once

#include <QString>

// The two settings files, "home.ad" and "max.dat", named by bare file name and
// resolved against the current directory at each call. Nothing is cached and
// no file stays open between calls. Every failure throws RunTimeError naming
// the file and the system's reason.
namespace SettingsFiles {

inline constexpr char HomeAddressFileName[] = "home.ad";
inline constexpr char StartMaxMarkerFileName[] = "max.dat";

// Written into a newly created "home.ad" and shown in the address box at creation.
inline constexpr char DefaultHomeAddress[] = "https://duckduckgo.com/";

// The longest first line accepted: Chromium's own limit on a URL's length.
inline constexpr qsizetype MaxLineBytes = 2 * 1024 * 1024;

bool HomeAddressFileExists();
QString ReadHomeAddress();
void WriteHomeAddress(const QString &address);

bool StartMaxMarkerExists();
void CreateStartMaxMarker();
void DeleteStartMaxMarker();

// Removes what a write cut short by a kill left behind: the temporary files
// "home.ad.XXXXXX" and "max.dat.XXXXXX" (six letters) of our own writes.
void RemoveStaleTemporaries();

} // namespace SettingsFiles
