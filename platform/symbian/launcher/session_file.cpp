// The session recording's text format: writing it step by step, and reading it back with
// a message naming the line of the first thing wrong.
#include "session_file.h"

#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>

namespace Epoc {

namespace {

// A recording is read whole; anything bigger is not one epoc wrote.
const std::uintmax_t KMaxSessionBytes = 256u << 20;
const size_t KMaxLineLength = 1u << 16;
const TInt64 KMaxCount = 1000000000;

const char KMagic[] = "zolvane-session";

const char* KeyKindName(TSessionEvent::TKind aKind) {
  switch (aKind) {
    case TSessionEvent::EKeyDown:
      return "down";
    case TSessionEvent::EKeyUp:
      return "up";
    default:
      return "key";
  }
}

std::string Signed(TInt64 aValue) {
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%+" PRId64, aValue);
  return buf;
}

std::string Hex(TUint aValue) {
  char buf[16];
  std::snprintf(buf, sizeof(buf), "0x%x", aValue);
  return buf;
}

// Home time (microseconds since year 0) as a readable local date, for the comment.
std::string DateText(TInt64 aHome) {
  const TInt64 KUnixEpoch = KZHostUnixEpoch;
  const std::time_t seconds = static_cast<std::time_t>((aHome - KUnixEpoch) / 1000000);
  struct tm utc;
  if (aHome < KUnixEpoch || !gmtime_r(&seconds, &utc)) return std::string();
  char buf[64];
  std::snprintf(buf, sizeof(buf), "%04d-%02d-%02d %02d:%02d:%02d.%06d", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>((aHome - KUnixEpoch) % 1000000));
  return buf;
}

std::string EventLine(const TSessionEvent& aEvent, TInt aStep) {
  const std::string place = " " + std::to_string(aStep) + "." + std::to_string(aEvent.iOrder);
  switch (aEvent.iKind) {
    case TSessionEvent::EKeyDown:
    case TSessionEvent::EKey:
    case TSessionEvent::EKeyUp:
      return "key" + place + " " + KeyKindName(aEvent.iKind) + " code=" + std::to_string(aEvent.iKey.iCode) +
             " scan=" + std::to_string(aEvent.iKey.iScanCode) + " mod=" + Hex(aEvent.iKey.iModifiers) +
             " rep=" + std::to_string(aEvent.iKey.iRepeats);
    case TSessionEvent::EClose:
      return "close" + place;
    case TSessionEvent::EFocusGained:
      return "focus" + place + " gained";
    case TSessionEvent::EFocusLost:
      return "focus" + place + " lost";
    case TSessionEvent::EWsOther:
      return "ws" + place + " type=" + std::to_string(aEvent.iWsType);
    case TSessionEvent::EAudio:
      return "audio" + place + " player=" + std::to_string(aEvent.iPlayer) + " err=" + std::to_string(aEvent.iError);
  }
  return std::string();
}

// ---- reading ----

class TParser {
public:
  TParser(const std::string& aName, TSession& aSession) : iName(aName), iSession(aSession) {}
  TBool Parse(const std::string& aText);
  std::string iError;

private:
  TBool Fail(const std::string& aWhat) {
    iError = iName + ":" + std::to_string(iLine) + ": " + aWhat;
    return EFalse;
  }
  TBool Number(const std::string& aToken, TInt64& aValue, TInt64 aMin, TInt64 aMax);
  TBool Field(const std::string& aToken, const char* aKey, TInt64& aValue, TInt64 aMin, TInt64 aMax);
  TBool HeaderLine(const std::vector<std::string>& aTokens, const std::string& aRest);
  TBool Reads(const std::vector<std::string>& aTokens, size_t aFrom, std::vector<TInt64>& aReads);
  TBool TickLine(const std::vector<std::string>& aTokens);
  TBool EventLine(const std::vector<std::string>& aTokens);
  TBool EndLine(const std::vector<std::string>& aTokens);

  std::string iName;
  TSession& iSession;
  TInt iLine = 0;
  TBool iVersionSeen = EFalse;
  TBool iStarted = EFalse;
  std::map<std::string, TInt> iHeaders;
};

TBool TParser::Number(const std::string& aToken, TInt64& aValue, TInt64 aMin, TInt64 aMax) {
  const char* s = aToken.c_str();
  const char* digits = (*s == '+' || *s == '-') ? s + 1 : s;
  const TBool hex = digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  if (*digits == '\0' || (hex ? !std::isxdigit(static_cast<unsigned char>(digits[2]))
                              : !std::isdigit(static_cast<unsigned char>(*digits))))
    return Fail("\"" + aToken + "\" is not a number");
  errno = 0;
  char* end = NULL;
  const long long value = std::strtoll(s, &end, hex ? 16 : 10);
  if (*end != '\0') return Fail("\"" + aToken + "\" is not a number");
  if (errno == ERANGE || value < aMin || value > aMax) return Fail("the number " + aToken + " is out of range");
  aValue = value;
  return ETrue;
}

TBool TParser::Field(const std::string& aToken, const char* aKey, TInt64& aValue, TInt64 aMin, TInt64 aMax) {
  const size_t n = std::strlen(aKey);
  if (aToken.compare(0, n, aKey) != 0 || aToken.size() <= n || aToken[n] != '=')
    return Fail("\"" + aToken + "\" where " + aKey + "=NUMBER was expected");
  return Number(aToken.substr(n + 1), aValue, aMin, aMax);
}

TBool TParser::HeaderLine(const std::vector<std::string>& aTokens, const std::string& aRest) {
  const std::string& key = aTokens[0];
  if (iHeaders.count(key)) return Fail("\"" + key + "\" is given twice");
  iHeaders[key] = iLine;
  TInt64 v = 0;
  if (key == "app") {
    if (aTokens.size() != 2) return Fail("\"app\" takes one name");
    iSession.iApp = aTokens[1];
    iSession.iAppLine = iLine;
  } else if (key == "module") {
    if (aRest.empty()) return Fail("\"module\" needs the application's file name");
    iSession.iModule = aRest;
  } else if (key == "screen") {
    int w = 0, h = 0;
    char tail = 0;
    if (aTokens.size() != 2 || std::sscanf(aTokens[1].c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 ||
        w > 4096 || h > 4096)
      return Fail("\"screen\" takes WIDTHxHEIGHT (1 to 4096 each)");
    iSession.iScreen = TSize(w, h);
  } else if (key == "home" || key == "utc-offset" || key == "ticks" || key == "random") {
    if (aTokens.size() != 2) return Fail("\"" + key + "\" takes one number");
    const TInt64 max = key == "random" ? 0xFFFFFFFFLL : KMaxTInt64;
    const TInt64 min = key == "utc-offset" ? -(TInt64(48) * 3600 * 1000000) : 0;
    if (!Number(aTokens[1], v, min, key == "utc-offset" ? TInt64(48) * 3600 * 1000000 : max)) return EFalse;
    if (key == "home") iSession.iHomeStart = v;
    if (key == "utc-offset") iSession.iUtcOffset = v;
    if (key == "ticks") iSession.iTicksStart = v;
    if (key == "random") iSession.iSeed = static_cast<TUint32>(v);
  } else {
    return EFalse;
  }
  return ETrue;
}

TBool TParser::Reads(const std::vector<std::string>& aTokens, size_t aFrom, std::vector<TInt64>& aReads) {
  for (size_t i = aFrom; i < aTokens.size(); ++i) {
    TInt64 v = 0;
    if (aTokens[i][0] != '+' && aTokens[i][0] != '-')
      return Fail("\"" + aTokens[i] + "\" where a time read (+MICROSECONDS) was expected");
    if (!Number(aTokens[i], v, -KMaxCount * 1000, KMaxCount * 1000)) return EFalse;
    aReads.push_back(v);
  }
  return ETrue;
}

TBool TParser::TickLine(const std::vector<std::string>& aTokens) {
  TInt64 k = 0, home = 0;
  if (aTokens.size() < 3) return Fail("\"tick\" takes its number and its home time");
  if (!Number(aTokens[1], k, 1, KMaxCount)) return EFalse;
  if (k != iSession.LastStep() + 1)
    return Fail("tick " + aTokens[1] + " where tick " + std::to_string(iSession.LastStep() + 1) + " was expected");
  if (!Number(aTokens[2], home, -KMaxCount * 1000000, KMaxCount * 1000000)) return EFalse;
  TSessionStep step;
  step.iHome = home;
  size_t from = 3;
  if (from < aTokens.size() && aTokens[from].compare(0, 6, "timer=") == 0) {
    TInt64 timer = 0;
    if (!Field(aTokens[from], "timer", timer, 1, 1000000)) return EFalse;
    step.iTimer = static_cast<TInt>(timer);
    ++from;
  }
  if (!Reads(aTokens, from, step.iReads)) return EFalse;
  iSession.iSteps.push_back(std::move(step));
  return ETrue;
}

TBool TParser::EventLine(const std::vector<std::string>& aTokens) {
  const std::string& kind = aTokens[0];
  if (aTokens.size() < 2) return Fail("\"" + kind + "\" needs its place STEP.ORDER");
  const std::string& place = aTokens[1];
  const size_t dot = place.find('.');
  TInt64 k = 0, j = 0;
  if (dot == std::string::npos) return Fail("\"" + place + "\" where a place STEP.ORDER was expected");
  if (!Number(place.substr(0, dot), k, 0, KMaxCount) || !Number(place.substr(dot + 1), j, 1, KMaxCount)) return EFalse;
  TSessionStep& step = iSession.iSteps.back();
  if (k != iSession.LastStep())
    return Fail("an event at " + place + " after tick " + std::to_string(iSession.LastStep()) +
                " (events belong to the tick line before them)");
  if (!step.iEvents.empty() && j <= step.iEvents.back().iOrder)
    return Fail("event " + place + " comes after event " + std::to_string(k) + "." +
                std::to_string(step.iEvents.back().iOrder) + " (orders must increase)");
  TSessionEvent e;
  e.iOrder = static_cast<TInt>(j);
  size_t from = 2;
  if (kind == "key") {
    if (aTokens.size() < 3) return Fail("\"key\" needs down, key or up");
    const std::string& type = aTokens[2];
    if (type == "down")
      e.iKind = TSessionEvent::EKeyDown;
    else if (type == "key")
      e.iKind = TSessionEvent::EKey;
    else if (type == "up")
      e.iKind = TSessionEvent::EKeyUp;
    else
      return Fail("\"" + type + "\" where down, key or up was expected");
    from = 3;
    for (size_t i = from; i < aTokens.size(); ++i) {
      const std::string& t = aTokens[i];
      const std::string name = t.substr(0, t.find('='));
      TInt64 v = 0;
      if (name == "code") {
        if (!Field(t, "code", v, 0, 0xFFFFFFFFLL)) return EFalse;
        e.iKey.iCode = static_cast<TUint>(v);
      } else if (name == "scan") {
        if (!Field(t, "scan", v, KMinTInt, KMaxTInt)) return EFalse;
        e.iKey.iScanCode = static_cast<TInt>(v);
      } else if (name == "mod") {
        if (!Field(t, "mod", v, 0, 0xFFFFFFFFLL)) return EFalse;
        e.iKey.iModifiers = static_cast<TUint>(v);
      } else if (name == "rep") {
        if (!Field(t, "rep", v, 0, KMaxTInt)) return EFalse;
        e.iKey.iRepeats = static_cast<TInt>(v);
      } else {
        return Fail("\"" + t + "\" where code=, scan=, mod= or rep= was expected");
      }
    }
  } else if (kind == "close") {
    e.iKind = TSessionEvent::EClose;
    if (aTokens.size() != 2) return Fail("\"close\" takes only its place");
  } else if (kind == "focus") {
    if (aTokens.size() != 3 || (aTokens[2] != "gained" && aTokens[2] != "lost"))
      return Fail("\"focus\" takes its place and gained or lost");
    e.iKind = aTokens[2] == "gained" ? TSessionEvent::EFocusGained : TSessionEvent::EFocusLost;
  } else if (kind == "ws") {
    TInt64 type = 0;
    if (aTokens.size() != 3 || !Field(aTokens[2], "type", type, KMinTInt, KMaxTInt))
      return iError.empty() ? Fail("\"ws\" takes its place and type=NUMBER") : EFalse;
    e.iKind = TSessionEvent::EWsOther;
    e.iWsType = static_cast<TInt>(type);
  } else {  // audio
    TInt64 player = 0, err = 0;
    if (aTokens.size() != 4) return Fail("\"audio\" takes its place, player=N and err=N");
    if (!Field(aTokens[2], "player", player, 1, KMaxCount) || !Field(aTokens[3], "err", err, KMinTInt, KMaxTInt))
      return EFalse;
    e.iKind = TSessionEvent::EAudio;
    e.iPlayer = static_cast<TInt>(player);
    e.iError = static_cast<TInt>(err);
  }
  step.iEvents.push_back(e);
  return ETrue;
}

TBool TParser::EndLine(const std::vector<std::string>& aTokens) {
  TInt64 k = 0, frames = 0;
  if (aTokens.size() != 4 || (aTokens[2] != "exited" && aTokens[2] != "stopped"))
    return Fail("\"end\" takes the last tick, exited or stopped, and frames=N");
  if (!Number(aTokens[1], k, 0, KMaxCount) || !Field(aTokens[3], "frames", frames, 0, KMaxCount)) return EFalse;
  if (k != iSession.LastStep())
    return Fail("the end names tick " + aTokens[1] + " but the last tick is " + std::to_string(iSession.LastStep()));
  iSession.iEnded = ETrue;
  iSession.iExited = aTokens[2] == "exited";
  iSession.iFrames = static_cast<TInt>(frames);
  return ETrue;
}

TBool TParser::Parse(const std::string& aText) {
  static const char* const KHeaders[] = {"app", "module", "screen", "home", "utc-offset", "ticks", "random"};
  size_t pos = 0;
  while (pos < aText.size()) {
    size_t eol = aText.find('\n', pos);
    if (eol == std::string::npos) eol = aText.size();
    std::string line = aText.substr(pos, eol - pos);
    pos = eol + 1;
    ++iLine;
    if (line.size() > KMaxLineLength) return Fail("the line is too long");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('\0') != std::string::npos) return Fail("the line holds a NUL byte");
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::vector<std::string> tokens;
    std::istringstream in(line);
    for (std::string t; in >> t;) tokens.push_back(t);
    if (tokens.empty()) continue;
    const std::string& key = tokens[0];
    if (iSession.iEnded) return Fail("\"" + key + "\" after the end line");
    if (!iVersionSeen) {
      if (key != KMagic)
        return Fail("not a session recording (the first line must be \"" + std::string(KMagic) + " " +
                    std::to_string(KSessionFormatVersion) + "\")");
      TInt64 version = 0;
      if (tokens.size() != 2 || !Number(tokens[1], version, 0, KMaxTInt))
        return iError.empty() ? Fail("\"zolvane-session\" takes the format version") : EFalse;
      if (version != KSessionFormatVersion)
        return Fail("a session recording of format version " + tokens[1] + "; this epoc reads version " +
                    std::to_string(KSessionFormatVersion));
      iVersionSeen = ETrue;
      continue;
    }
    if (!iStarted) {
      if (key == "start") {
        for (const char* h : KHeaders)
          if (!iHeaders.count(h)) return Fail("\"start\" before the header line \"" + std::string(h) + "\"");
        iStarted = ETrue;
        if (!Reads(tokens, 1, iSession.iSteps[0].iReads)) return EFalse;
        continue;
      }
      const size_t restAt = line.find(key) + key.size();
      std::string rest = line.substr(restAt);
      rest.erase(0, rest.find_first_not_of(" \t"));
      rest.erase(rest.find_last_not_of(" \t") + 1);
      if (!HeaderLine(tokens, rest)) return iError.empty() ? Fail("unknown header line \"" + key + "\"") : EFalse;
      continue;
    }
    TBool ok;
    if (key == "tick")
      ok = TickLine(tokens);
    else if (key == "key" || key == "close" || key == "focus" || key == "ws" || key == "audio")
      ok = EventLine(tokens);
    else if (key == "end")
      ok = EndLine(tokens);
    else
      return Fail("unknown line \"" + key + "\"");
    if (!ok) return EFalse;
  }
  if (!iVersionSeen) return Fail("empty: not a session recording");
  if (!iSession.iEnded) {
    ++iLine;
    return Fail("the recording ends without its \"end\" line (it is cut short)");
  }
  return ETrue;
}

}  // namespace

// ---- events ----

TWsEvent TSessionEvent::WsEvent() const {
  TWsEvent event;
  switch (iKind) {
    case EKeyDown:
      event.SetType(EEventKeyDown);
      break;
    case EKey:
      event.SetType(EEventKey);
      break;
    case EKeyUp:
      event.SetType(EEventKeyUp);
      break;
    case EClose:
      event.SetType(EEventZHostCloseRequest);
      break;
    case EFocusGained:
      event.SetType(EEventFocusGained);
      break;
    case EFocusLost:
      event.SetType(EEventFocusLost);
      break;
    default:
      event.SetType(iWsType);
      break;
  }
  if (iKind == EKeyDown || iKind == EKey || iKind == EKeyUp) *event.Key() = iKey;
  return event;
}

TSessionEvent TSessionEvent::FromWs(const TWsEvent& aEvent) {
  TSessionEvent e;
  switch (aEvent.Type()) {
    case EEventKeyDown:
      e.iKind = EKeyDown;
      break;
    case EEventKey:
      e.iKind = EKey;
      break;
    case EEventKeyUp:
      e.iKind = EKeyUp;
      break;
    case EEventZHostCloseRequest:
      e.iKind = EClose;
      break;
    case EEventFocusGained:
      e.iKind = EFocusGained;
      break;
    case EEventFocusLost:
      e.iKind = EFocusLost;
      break;
    default:
      e.iKind = EWsOther;
      e.iWsType = aEvent.Type();
      break;
  }
  if (e.iKind == EKeyDown || e.iKind == EKey || e.iKind == EKeyUp) e.iKey = *aEvent.Key();
  return e;
}

// ---- writing ----

void TSessionWriter::Put(const std::string& aLine) {
  if (!iOk) return;
  if (std::fputs(aLine.c_str(), iFile) < 0 || std::fputc('\n', iFile) == EOF) iOk = EFalse;
}

void TSessionWriter::Header(const TSession& aSession) {
  Put("# A Zolvane session recording made by epoc --record; docs/live.md describes the format.");
  Put(std::string(KMagic) + " " + std::to_string(KSessionFormatVersion));
  Put("app " + aSession.iApp);
  Put("module " + aSession.iModule);
  Put("screen " + std::to_string(aSession.iScreen.iWidth) + "x" + std::to_string(aSession.iScreen.iHeight));
  const std::string date = DateText(aSession.iHomeStart);
  Put("home " + std::to_string(aSession.iHomeStart) + (date.empty() ? "" : "  # " + date));
  Put("utc-offset " + std::to_string(aSession.iUtcOffset));
  Put("ticks " + std::to_string(aSession.iTicksStart));
  Put("random " + std::to_string(aSession.iSeed));
  Step(aSession.iSteps[0], 0);
}

void TSessionWriter::Step(const TSessionStep& aStep, TInt aIndex) {
  std::string line;
  if (aIndex == 0) {
    line = "start";
  } else {
    line = "tick " + std::to_string(aIndex) + " " + std::to_string(aStep.iHome);
    if (aStep.iTimer != 1) line += " timer=" + std::to_string(aStep.iTimer);
  }
  for (TInt64 r : aStep.iReads) line += " " + Signed(r);
  Put(line);
  for (const TSessionEvent& e : aStep.iEvents) Put(EventLine(e, aIndex));
  if (iOk && std::fflush(iFile) != 0) iOk = EFalse;
}

void TSessionWriter::End(const TSession& aSession) {
  Put("end " + std::to_string(aSession.LastStep()) + (aSession.iExited ? " exited" : " stopped") +
      " frames=" + std::to_string(aSession.iFrames));
  if (iOk && std::fflush(iFile) != 0) iOk = EFalse;
}

std::string SessionText(const TSession& aSession) {
  char* buffer = NULL;
  size_t size = 0;
  std::FILE* f = open_memstream(&buffer, &size);
  if (!f) return std::string();
  TSessionWriter writer(f);
  writer.Header(aSession);
  for (TInt k = 1; k <= aSession.LastStep(); ++k) writer.Step(aSession.iSteps[k], k);
  writer.End(aSession);
  std::fclose(f);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

TBool ParseSession(const std::string& aText, const std::string& aName, TSession& aSession, std::string& aError) {
  aSession = TSession();
  TParser parser(aName, aSession);
  if (parser.Parse(aText)) return ETrue;
  aError = parser.iError;
  return EFalse;
}

TBool ReadSession(const std::string& aPath, TSession& aSession, std::string& aError) {
  std::ifstream in(aPath, std::ios::binary);
  if (!in) {
    aError = aPath + ": cannot be read";
    return EFalse;
  }
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::uintmax_t>(size) > KMaxSessionBytes) {
    aError = aPath + ": too big for a session recording";
    return EFalse;
  }
  in.seekg(0);
  std::string text(static_cast<size_t>(size), '\0');
  if (!in.read(text.data(), size)) {
    aError = aPath + ": cannot be read";
    return EFalse;
  }
  return ParseSession(text, aPath, aSession, aError);
}

}  // namespace Epoc
