#include "platform/win32/win_system.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "platform/win32/com.h"
#include "platform/win32/failures.h"
#include "platform/win32/handles.h"

namespace quellbox::win32 {
namespace {

// Calls `format(buffer, size)` with a buffer of the size the first call (size 0) asked for.
template <typename Format>
std::string SizedText(Format format) {
  int needed = format(nullptr, 0);
  if (needed <= 0) return {};
  std::wstring text(static_cast<std::size_t>(needed), L'\0');
  if (format(text.data(), needed) <= 0) return {};
  return Narrow(text.c_str(), std::char_traits<wchar_t>::length(text.c_str()));
}

}  // namespace

WinClock::WinClock() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  random_.seed(static_cast<std::mt19937::result_type>(now.QuadPart ^ GetTickCount()));
}

double WinClock::RandomFraction() { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); }

std::string WinClock::DateText() {
  return SizedText([](wchar_t* buffer, int size) {
    return GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, size);
  });
}

std::string WinClock::TimeText() {
  // The default time format of the locale is its long form, seconds included.
  return SizedText([](wchar_t* buffer, int size) {
    return GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, size);
  });
}

WinSound::~WinSound() {
  if (beeping_) WaitForSingleObject(beeping_.get(), INFINITE);
}

void WinSound::Beep(unsigned frequencyHz, unsigned durationMs) {
  if (beeping_ && WaitForSingleObject(beeping_.get(), 0) == WAIT_TIMEOUT) return;  // merged
  frequency_ = frequencyHz;
  duration_ = durationMs;
  beeping_.reset(CreateThread(nullptr, 0, &WinSound::Sounding, this, 0, nullptr));
}

DWORD WINAPI WinSound::Sounding(void* self) {
  auto* sound = static_cast<WinSound*>(self);
  sound->beep_(sound->frequency_, sound->duration_);
  return 0;
}

// A missing or unplayable file is silent, not the system's default sound.
void WinSound::PlayWave(const std::string& path) { sndPlaySoundW(Wide(path).c_str(), SND_ASYNC | SND_NODEFAULT); }

std::string WinLauncher::TempPath() {
  // The answer is at most MAX_PATH + 1 characters and its NUL, whatever the variables say.
  wchar_t path[MAX_PATH + 2];
  DWORD n = GetTempPathW(MAX_PATH + 2, path);
  return n > 0 && n < MAX_PATH + 2 ? Narrow(path, n) : std::string();
}

ExecutableLookup WinLauncher::LookUpExecutable(const std::string& file, const std::string& directory) {
  // FindExecutableW writes at most MAX_PATH characters; a result that fills them may have been
  // cut, so the association is then asked again through a call that reports its full size.
  wchar_t result[MAX_PATH + 1] = {};
  HINSTANCE code = FindExecutableW(Wide(file).c_str(), Wide(directory).c_str(), result);
  ExecutableLookup lookup{static_cast<long>(reinterpret_cast<INT_PTR>(code)), Narrow(result, lstrlenW(result))};
  if (lookup.code >= 32 && lstrlenW(result) >= MAX_PATH - 1) {
    DWORD size = 0;
    std::wstring extension = Wide(file.substr(file.find_last_of('.')));
    if (AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, extension.c_str(), nullptr, nullptr,
                          &size) == S_FALSE && size > 0) {
      std::wstring full(size, L'\0');
      if (SUCCEEDED(AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, extension.c_str(),
                                      nullptr, full.data(), &size)))
        lookup.path = Narrow(full.c_str(), lstrlenW(full.c_str()));
    }
  }
  return lookup;
}

bool WinLauncher::StartProcess(const std::string& application, const std::string& commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  std::wstring mutableLine = Wide(commandLine);  // CreateProcessW may write into it
  if (FAILED(LOG_IF_FAILED(CreateProcessW(Wide(application).c_str(), mutableLine.data(), nullptr, nullptr, FALSE,
                                          NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &info))))
    return false;
  UniqueHandle process(info.hProcess), thread(info.hThread);
  return static_cast<bool>(process);
}

bool WinLauncher::ShellOpen(const std::string& target) {
  // Above 32 is success; below, an error code of its own.
  auto code = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", Wide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return SUCCEEDED(LOG_IF_FAILED(code > 32 ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(code))));
}

}  // namespace quellbox::win32
