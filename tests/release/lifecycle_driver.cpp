// The Windows side of the release lifecycle test (tests/release/lifecycle_test.sh): the steps
// that need the Win32 view of another process's windows. Each command prints "ok: ..." or
// "FAIL: ..." lines and exits 0 only when every check of the step held.
//
//   lifecycle_driver trust-ca PEM                  the CA into the machine's ROOT store
//   lifecycle_driver install INSTALLER PARENT SHOTS run the installer, read the folder chooser's
//                                                  title, choose PARENT, install
//   lifecycle_driver uninstall UNINSTALLER SHOTS [leftovers]
//                                                  run the uninstaller through to its finish page, or
//                                                  (leftovers) to the page that says what is left
//   lifecycle_driver run COMMANDLINE               start a command line as it is written (an
//                                                  installer's "/D=" must not be quoted) and exit
//                                                  with its exit code
//   lifecycle_driver hold FILE MS                  keep FILE open with no sharing for MS ms
#include <windows.h>
#include <shlobj.h>
#include <wincrypt.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/wine/plugin_host.h"
#include "tests/wine/wizard_driver.h"

namespace {

namespace fs = std::filesystem;
using namespace wizdrive;

// The installing page's label and bar (install.xml), in client coordinates.
constexpr RECT kProgressArea = {60, 194, 526, 234};
constexpr wchar_t kChooserTitle[] = L"选择Quorvane的安装位置";

int failures = 0;

std::string Utf8(const std::wstring& wide) {
  int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, s.data(), n, nullptr, nullptr);
  return s;
}

void Check(bool ok, const std::wstring& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAIL", Utf8(what).c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

void Shot(HWND hwnd, const std::wstring& shots, const wchar_t* name) {
  ::UpdateWindow(hwnd);
  Check(plughost::SaveWindowPng(hwnd, shots + L"\\" + name + L".png"), std::wstring(L"screenshot ") + name);
}

BOOL CALLBACK CollectText(HWND child, LPARAM p) {
  wchar_t text[512] = {};
  ::GetWindowTextW(child, text, 512);
  if (text[0] != 0) reinterpret_cast<std::vector<std::wstring>*>(p)->push_back(text);
  return TRUE;
}

// The screen's pixels of a client area of `hwnd`, as bytes to compare.
std::string AreaPixels(HWND hwnd, const RECT& area) {
  POINT origin = {area.left, area.top};
  ::ClientToScreen(hwnd, &origin);
  const int cx = area.right - area.left, cy = area.bottom - area.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, cx, cy);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, cx, cy, screen, origin.x, origin.y, SRCCOPY);
  ::SelectObject(memory, old);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = cx;
  info.bmiHeader.biHeight = -cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::string pixels(static_cast<size_t>(cx) * cy * 4, '\0');
  if (::GetDIBits(memory, bitmap, 0, cy, pixels.data(), &info, DIB_RGB_COLORS) != cy) pixels.clear();
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

std::vector<std::wstring> ChildTexts(HWND dialog) {
  std::vector<std::wstring> texts;
  ::EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// Waits for `process` to end (ending it after `ms`) and returns its exit code.
DWORD WaitExit(HANDLE process, DWORD ms) {
  if (::WaitForSingleObject(process, ms) != WAIT_OBJECT_0) {
    Check(false, L"the process ended in time");
    ::TerminateProcess(process, 12345);
    ::WaitForSingleObject(process, 5000);
  }
  DWORD code = 12345;
  ::GetExitCodeProcess(process, &code);
  return code;
}

HANDLE Start(const std::wstring& program, DWORD* pid) {
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  std::wstring command = L"\"" + program + L"\"";
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return nullptr;
  }
  ::CloseHandle(pi.hThread);
  *pid = pi.dwProcessId;
  return pi.hProcess;
}

int TrustCa(const std::wstring& pemPath) {
  std::stringstream pem;
  pem << std::ifstream(fs::path(pemPath), std::ios::binary).rdbuf();
  std::string text = pem.str();
  DWORD size = 0;
  std::vector<BYTE> der;
  bool decoded = ::CryptStringToBinaryA(text.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr,
                                        nullptr) &&
                 (der.resize(size), ::CryptStringToBinaryA(text.c_str(), 0, CRYPT_STRING_BASE64HEADER, der.data(),
                                                            &size, nullptr, nullptr));
  Check(decoded, L"the CA certificate decodes");
  if (!decoded) return 1;
  HCERTSTORE root = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT");
  Check(root != nullptr, L"the machine's ROOT store opens");
  if (root == nullptr) return 1;
  Check(::CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(), size, CERT_STORE_ADD_REPLACE_EXISTING,
                                           nullptr),
        L"the CA is in the machine's ROOT store");
  ::CertCloseStore(root, 0);
  return failures == 0 ? 0 : 1;
}

int Install(const std::wstring& installer, const std::wstring& parent, const std::wstring& shots) {
  DWORD pid = 0;
  HANDLE process = Start(installer, &pid);
  Check(process != nullptr, L"the installer starts");
  if (process == nullptr) return 1;
  HWND wizard = FindVisibleWindow(L"QuorvanePlugInstallWnd", pid, 30000);
  Check(wizard != nullptr && WaitPainted(wizard, kInstallBtn), L"the install wizard shows its start page");
  if (wizard == nullptr) {
    ::TerminateProcess(process, 1);
    return 1;
  }
  wchar_t title[128] = {};
  ::GetWindowTextW(wizard, title, 128);
  Check(std::wstring(title) == L"Quorvane修复工具", std::wstring(L"wizard title \"") + title + L"\"");
  Shot(wizard, shots, L"install-1-start");

  plughost::Click(wizard, kChangeFolderBtn.x, kChangeFolderBtn.y);
  HWND chooser = FindVisibleWindow(L"#32770", pid, 10000);
  Check(chooser != nullptr, L"更改目录 opens the folder chooser");
  if (chooser != nullptr) {
    ::Sleep(300);
    bool titled = false;
    for (const std::wstring& text : ChildTexts(chooser)) {
      std::printf("chooser text: %s\n", Utf8(text).c_str());
      titled = titled || text == kChooserTitle;
    }
    Check(titled, std::wstring(L"the chooser's title reads \"") + kChooserTitle + L"\"");
    RECT rc;
    ::GetWindowRect(chooser, &rc);
    Check(screenpng::SaveScreenArea(rc, shots + L"\\install-2-chooser.png"), L"screenshot install-2-chooser");
    Check(ChooseFolder(chooser, pid, parent), L"the chosen folder is confirmed");
  }
  ::Sleep(300);
  Shot(wizard, shots, L"install-3-folder");

  const ULONGLONG installed = Now();
  plughost::Click(wizard, kInstallBtn.x, kInstallBtn.y);
  // The installing page as it moves: a screenshot each time its label and bar look different.
  int frames = 0;
  std::string last;
  while (frames < 8 && ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT && ::IsWindowVisible(wizard)) {
    std::string area = AreaPixels(wizard, kProgressArea);
    if (!area.empty() && area != last) {
      last = area;
      wchar_t name[32];
      std::swprintf(name, 32, L"install-4-progress-%d", ++frames);
      plughost::SaveWindowPng(wizard, shots + L"\\" + name + L".png");
    }
    ::Sleep(10);
  }
  Check(frames >= 3, L"the installing page moves (" + std::to_wstring(frames) + L" distinct views)");
  DWORD code = WaitExit(process, 120000);
  Check(code == 0, L"the installer ends with exit code " + std::to_wstring(code));
  ::CloseHandle(process);
  // The finish starts the installed program.
  HWND program = FindVisibleWindow(L"ToolWnd", 0, 30000, L"", installed);
  Check(program != nullptr && WaitPainted(program, {293, 186}), L"the installed program opens after the finish");
  if (program != nullptr) Shot(program, shots, L"install-5-program");
  return failures == 0 ? 0 : 1;
}

int Run(const std::wstring& commandLine) {
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  std::wstring command = commandLine;
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::printf("FAIL: cannot start %s\n", Utf8(commandLine).c_str());
    return 255;
  }
  ::CloseHandle(pi.hThread);
  ::WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 255;
  ::GetExitCodeProcess(pi.hProcess, &code);
  ::CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

int Hold(const std::wstring& file, DWORD ms) {
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  Check(h != INVALID_HANDLE_VALUE, L"holding " + file);
  if (h == INVALID_HANDLE_VALUE) return 1;
  ::Sleep(ms);
  ::CloseHandle(h);
  return 0;
}

int Uninstall(const std::wstring& uninstaller, const std::wstring& shots, bool leftovers) {
  // The uninstaller runs a copy of itself from the temporary folder and ends at once.
  const ULONGLONG since = Now();
  DWORD pid = 0;
  HANDLE first = Start(uninstaller, &pid);
  Check(first != nullptr, L"the uninstaller starts");
  if (first == nullptr) return 1;
  ::CloseHandle(first);
  HWND wizard = FindVisibleWindow(L"QuorvanePlugUninstallWnd", 0, 30000, L"", since);
  Check(wizard != nullptr && WaitPainted(wizard, kUninstallBtn), L"the uninstall wizard shows its first page");
  if (wizard == nullptr) return 1;
  DWORD copyPid = 0;
  ::GetWindowThreadProcessId(wizard, &copyPid);
  HANDLE copy = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, copyPid);
  Shot(wizard, shots, L"uninstall-1-confirm");
  plughost::Click(wizard, kUninstallBtn.x, kUninstallBtn.y);
  ::Sleep(100);
  Shot(wizard, shots, L"uninstall-2-progress");
  // The finish page comes 50 ms after the script's message; its button is the only control
  // painted at kFinishBtn.
  COLORREF progressPage = plughost::ClientPixel(wizard, kFinishBtn.x, kFinishBtn.y);
  bool finished = false;
  for (int i = 0; i < (leftovers ? 50 : 600) && !finished; ++i) {
    ::Sleep(100);
    finished = plughost::ClientPixel(wizard, kFinishBtn.x, kFinishBtn.y) != progressPage;
  }
  if (leftovers) {
    // Files in use: the uninstalling page says what is left, and the close button ends.
    Check(!finished, L"the finish page does not appear while files are left");
    Shot(wizard, shots, L"uninstall-3-leftovers");
    plughost::Click(wizard, kCloseBtn.x, kCloseBtn.y);
  } else {
    Check(finished, L"the finish page appears");
    ::Sleep(300);
    Shot(wizard, shots, L"uninstall-3-finish");
    plughost::Click(wizard, kFinishBtn.x, kFinishBtn.y);
  }
  DWORD code = copy != nullptr ? WaitExit(copy, 60000) : 12345;
  Check(code == 0, L"the uninstaller ends with exit code " + std::to_wstring(code));
  if (copy != nullptr) ::CloseHandle(copy);
  return failures == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"trust-ca" && argc == 3) return TrustCa(argv[2]);
  if (command == L"install" && argc == 5) return Install(argv[2], argv[3], argv[4]);
  if (command == L"uninstall" && (argc == 4 || argc == 5)) {
    return Uninstall(argv[2], argv[3], argc == 5 && std::wstring(argv[4]) == L"leftovers");
  }
  if (command == L"run" && argc == 3) return Run(argv[2]);
  if (command == L"hold" && argc == 4) return Hold(argv[2], static_cast<DWORD>(_wtoi(argv[3])));
  std::fprintf(stderr, "usage: lifecycle_driver trust-ca PEM | install INSTALLER PARENT SHOTS | uninstall UNINST SHOTS\n");
  return 2;
}
