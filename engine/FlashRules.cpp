#include "engine/FlashRules.h"

#include "core/StrUtil.h"

namespace {
struct OsClassRow {
  unsigned major;
  int minor;  // -1: any other minor
  int osClass;
};
// First matching row wins.
constexpr OsClassRow kOsClasses[] = {
    {5, 0, 1}, {5, 1, 1}, {5, -1, 2}, {6, 0, 3}, {6, 1, 4}, {6, 2, 5}, {6, -1, 6}, {10, -1, 7},
};

std::wstring Widen(const std::string& ascii) {
  // Version texts are digits and dots; a byte that is neither stops the number anyway.
  return std::wstring(ascii.begin(), ascii.end());
}

RepairEntry DownloadEntry(const FlavourInfo& info, const std::string& webOrigin, int32_t state) {
  return RepairEntry{info.flavour, webOrigin + info.installerPath, info.installerFile, state};
}
}  // namespace

const FlavourInfo* FindFlavour(int32_t flavour) {
  for (const FlavourInfo& info : kFlavours) {
    if (info.flavour == flavour) return &info;
  }
  return nullptr;
}

int OsVersionClass(unsigned major, unsigned minor) {
  if (major < 5) return 1;
  for (const OsClassRow& row : kOsClasses) {
    if (row.major == major && (row.minor < 0 || static_cast<unsigned>(row.minor) == minor)) return row.osClass;
  }
  return 8;
}

bool IsVersionLower(const std::string& installed, const std::string& reference) {
  int result = 0;
  return CompareVersion(Widen(installed), Widen(reference), L'.', result) && result == 1;
}

void ApplyFlashVersionRules(CheckContext& ctx, const FlavourReading (&readings)[3], int osClass,
                            const std::string& webOrigin) {
  const std::string& published = ctx.remoteConfig.flashVersion;
  int32_t candidate = kNoCandidate;

  // Examines one flavour; true when it was below the minimum and the check is over.
  auto examine = [&](const FlavourInfo& info) {
    const std::string& installed = readings[info.flavour].version;
    if (!IsVersionLower(installed, published)) return false;
    if (IsVersionLower(installed, kMinimumFlashVersion)) {
      ctx.problems.clear();
      ctx.problems.push_back({FlashBelowMinimum, kFlashProblemText, "", StateFound});
      ctx.problemsFound = true;
      ctx.downloads.push_back(DownloadEntry(info, webOrigin, StateInstall));
      return true;
    }
    if (candidate == kNoCandidate) candidate = info.flavour;
    return false;
  };
  auto eligible = [&](FlashFlavour flavour) {
    return readings[flavour].present && !readings[flavour].scriptDebugger;
  };

  ctx.downloads.clear();
  if (eligible(ActiveX) && osClass < 5 && examine(kFlavours[ActiveX])) return;
  if (eligible(Pepper) && examine(kFlavours[Pepper])) return;
  if (eligible(Plugin) && examine(kFlavours[Plugin])) return;
  // An outdated flavour alone is not worth a problem of its own.
  if (ctx.problems.empty() || candidate == kNoCandidate) return;
  ctx.problems.push_back({FlashOutdated, kFlashProblemText, "", StateFound});
  ctx.problemsFound = true;
  ctx.downloads.push_back(DownloadEntry(kFlavours[candidate], webOrigin, StateFound));
}

bool ReadingUpToDate(const FlavourReading& reading, const std::string& published) {
  if (!reading.present || reading.scriptDebugger) return true;
  return !IsVersionLower(reading.version, published);
}
