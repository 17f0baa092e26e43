#include "engine/CheckContext.h"

namespace {
struct KindText {
  int32_t kind;
  const char* text;
};
constexpr KindText kKindTexts[] = {
    {ScmUnavailable, kServiceProblemText},       {ServiceStopped, kServiceProblemText},
    {ServiceMissing, kServiceProblemText},       {FlashOutdated, kFlashProblemText},
    {FlashBelowMinimum, kFlashProblemText},      {ServiceNotAutoStart, kServiceProblemText},
    {ServiceNotAutoStartStopped, kServiceProblemText},
};
}  // namespace

const char* ProblemText(int32_t kind) {
  for (const KindText& k : kKindTexts) {
    if (k.kind == kind) return k.text;
  }
  return "";
}

bool IsCompanionServiceProblem(int32_t kind) {
  return kind != FlashOutdated && kind != FlashBelowMinimum && ProblemText(kind)[0] != '\0';
}
