/* verify_trust FILE...
 *
 * Asks Windows whether each file's Authenticode signature is trusted, the way the shell and
 * SmartScreen ask before an elevated program starts: WinVerifyTrust with the generic
 * Authenticode policy, no UI, no revocation check (the test CA publishes no lists).
 * Prints one line per file, "FILE: 0x<result>", and exits 0 only when every file is trusted.
 */
#include <windows.h>
#include <softpub.h>
#include <stdio.h>
#include <wchar.h>
#include <wintrust.h>

static LONG VerifyFile(const wchar_t *path) {
  WINTRUST_FILE_INFO file = {0};
  file.cbStruct = sizeof(file);
  file.pcwszFilePath = path;

  WINTRUST_DATA data = {0};
  data.cbStruct = sizeof(data);
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  data.dwStateAction = WTD_STATEACTION_VERIFY;

  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  LONG result = WinVerifyTrust((HWND)INVALID_HANDLE_VALUE, &action, &data);
  /* The state the verification kept must be released whatever the verdict. */
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust((HWND)INVALID_HANDLE_VALUE, &action, &data);
  return result;
}

int wmain(int argc, wchar_t **argv) {
  int failed = 0;
  for (int i = 1; i < argc; ++i) {
    LONG result = VerifyFile(argv[i]);
    wprintf(L"%ls: 0x%08lx\n", argv[i], (unsigned long)result);
    if (result != ERROR_SUCCESS) failed = 1;
  }
  return argc > 1 ? failed : 2;
}
