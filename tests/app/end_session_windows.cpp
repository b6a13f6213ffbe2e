// Ends the session for the program's windows as Windows does at logout:
// WM_QUERYENDSESSION, then WM_ENDSESSION, to every visible top-level window
// whose title contains the text given. Exit 0 when one was told, 1 when no
// window matched, 2 when a window refused the end.
#include <windows.h>

#include <cwchar>

namespace {

struct TSearch {
  const wchar_t* Title;
  int Told = 0;
  bool Refused = false;
};

BOOL CALLBACK TellWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TSearch*>(data);
  wchar_t title[256] = {};
  if (!IsWindowVisible(window) || GetWindowTextW(window, title, 255) == 0) return TRUE;
  if (!std::wcsstr(title, search->Title)) return TRUE;
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 30000,
                      &answer);
  if (answer == 0) search->Refused = true;
  SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 30000,
                      nullptr);
  ++search->Told;
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  TSearch search;
  search.Title = argc > 1 ? argv[1] : L"Somnary";
  EnumWindows(TellWindow, reinterpret_cast<LPARAM>(&search));
  if (search.Told == 0) return 1;
  return search.Refused ? 2 : 0;
}
