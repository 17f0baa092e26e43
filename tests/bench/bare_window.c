/* The floor the benchmarks compare against: a plain Win32 window of the main window's size
 * (586 x 364, borderless, centred), painted with one colour, running an ordinary message loop.
 * The benchmark scripts compile it themselves with the same cross compiler as the build.
 *
 *   bare_window.exe [title]      (default title "QvBareWindow")
 */
#include <windows.h>

static LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      HBRUSH brush = CreateSolidBrush(RGB(0x24, 0x28, 0x30));
      FillRect(dc, &ps.rcPaint, brush);
      DeleteObject(brush);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE prev, LPWSTR cmd, int show) {
  (void)prev;
  (void)show;
  const wchar_t* title = (cmd != NULL && cmd[0] != 0) ? cmd : L"QvBareWindow";
  WNDCLASSEXW wc = {0};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = BareProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  wc.lpszClassName = L"QvBareWindow";
  if (!RegisterClassExW(&wc)) return 1;
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int w = 586, h = 364;
  int x = work.left + (work.right - work.left - w) / 2, y = work.top + (work.bottom - work.top - h) / 2;
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, title, WS_POPUP | WS_MINIMIZEBOX, x, y, w, h, NULL, NULL,
                              instance, NULL);
  if (hwnd == NULL) return 1;
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageW(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
