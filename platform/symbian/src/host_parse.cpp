// File-name parsing: drive, path, name and extension, resolved against related and
// default names.
#include <f32file.h>

#include <string>
#include <string_view>

namespace {

typedef std::u16string TText16String;

struct TParts {
  TText16String iDrive, iPath, iName, iExt;
};

TBool IsIllegal(TUint16 aChar, TBool aAllowWild) {
  if (aChar < 0x20) return ETrue;
  switch (aChar) {
    case '<':
    case '>':
    case ':':
    case '"':
    case '/':
    case '|':
      return ETrue;
    case '*':
    case '?':
      return !aAllowWild;
    default:
      return EFalse;
  }
}

typedef std::u16string_view TText16View;

TBool IsDotName(TText16View aName) { return aName == u"." || aName == u".."; }

// Checks the folders of a path: no empty, "." or ".." folder. A path is "\a\b\" or,
// relative, "a\b\".
TBool ValidPath(TText16View aPath) {
  size_t start = (!aPath.empty() && aPath[0] == '\\') ? 1 : 0;
  while (start < aPath.size()) {
    size_t end = aPath.find(u'\\', start);
    if (end == TText16View::npos) return EFalse;  // a path always ends with "\"
    TText16View folder = aPath.substr(start, end - start);
    if (folder.empty() || IsDotName(folder)) return EFalse;
    start = end + 1;
  }
  return ETrue;
}

TInt Split(const TDesC& aName, TParts& aParts, TBool aAllowWild) {
  // Views into the name: only the parts kept are copied.
  TText16View s(reinterpret_cast<const char16_t*>(aName.Ptr()), aName.Length());
  size_t i = 0;
  if (s.size() >= 2 && s[1] == ':') {
    TUint16 letter = s[0];
    if (!((letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z'))) return KErrBadName;
    aParts.iDrive = s.substr(0, 2);
    i = 2;
  }
  TText16View rest = s.substr(i);
  for (TUint16 c : rest)
    if (IsIllegal(c, aAllowWild)) return KErrBadName;
  size_t last = rest.rfind(u'\\');
  TText16View file = rest;
  if (last != TText16View::npos) {
    TText16View path = rest.substr(0, last + 1);
    file = rest.substr(last + 1);
    if (!ValidPath(path)) return KErrBadName;
    aParts.iPath = path;
  }
  if (IsDotName(file)) return KErrBadName;
  size_t dot = file.rfind(u'.');
  if (dot == TText16View::npos) {
    aParts.iName = file;
  } else {
    aParts.iName = file.substr(0, dot);
    aParts.iExt = file.substr(dot);
  }
  return KErrNone;
}

const TText16String& First(const TText16String& a, const TText16String& b, const TText16String& c) {
  return !a.empty() ? a : (!b.empty() ? b : c);
}

TBool HasWild(TPtrC aText) { return aText.Locate('*') >= 0 || aText.Locate('?') >= 0; }

}  // namespace

EXPORT_C TParseBase::TParseBase() : iField() {}

EXPORT_C TInt TParseBase::DoSet(const TDesC& aName, const TDesC* aRelated, const TDesC* aDefault, TBool aAllowWild) {
  for (TField& f : iField) f.iPos = f.iLen = 0;
  iNameBuf.Zero();
  TParts n, r, d;
  TInt error = Split(aName, n, aAllowWild);
  if (error == KErrNone && aRelated) error = Split(*aRelated, r, aAllowWild);
  if (error == KErrNone && aDefault) error = Split(*aDefault, d, aAllowWild);
  if (error != KErrNone) return error;

  TParts out;
  out.iDrive = First(n.iDrive, r.iDrive, d.iDrive);
  if (!n.iPath.empty() && n.iPath[0] == '\\') {
    out.iPath = n.iPath;
  } else {
    TText16String base = !r.iPath.empty() ? r.iPath : d.iPath;
    if (n.iPath.empty())
      out.iPath = base;
    else
      out.iPath = (base.empty() ? TText16String(u"\\") : base) + n.iPath;
  }
  out.iName = First(n.iName, r.iName, d.iName);
  out.iExt = First(n.iExt, r.iExt, d.iExt);

  const TText16String* parts[EFieldCount] = {&out.iDrive, &out.iPath, &out.iName, &out.iExt};
  size_t total = 0;
  for (const TText16String* p : parts) total += p->size();
  if (total > static_cast<size_t>(KMaxFileName)) return KErrBadName;
  for (TInt f = 0; f < EFieldCount; ++f) {
    iField[f].iPos = static_cast<TInt16>(iNameBuf.Length());
    iField[f].iLen = static_cast<TInt16>(parts[f]->size());
    iNameBuf.Append(reinterpret_cast<const TUint16*>(parts[f]->data()), static_cast<TInt>(parts[f]->size()));
  }
  return KErrNone;
}

EXPORT_C TPtrC TParseBase::FullName() const { return TPtrC(iNameBuf); }
EXPORT_C TPtrC TParseBase::Drive() const { return FieldPtr(EDrive); }
EXPORT_C TPtrC TParseBase::Path() const { return FieldPtr(EPath); }
EXPORT_C TPtrC TParseBase::Name() const { return FieldPtr(EName); }
EXPORT_C TPtrC TParseBase::Ext() const { return FieldPtr(EExt); }

EXPORT_C TPtrC TParseBase::DriveAndPath() const {
  return TPtrC(iNameBuf.Ptr(), iField[EDrive].iLen + iField[EPath].iLen);
}

EXPORT_C TPtrC TParseBase::NameAndExt() const {
  return TPtrC(iNameBuf.Ptr() + iField[EName].iPos, iField[EName].iLen + iField[EExt].iLen);
}

EXPORT_C TBool TParseBase::IsRoot() const {
  return iField[EPath].iLen == 1 && iNameBuf[iField[EPath].iPos] == '\\';
}

EXPORT_C TBool TParseBase::IsNameWild() const { return HasWild(Name()); }
EXPORT_C TBool TParseBase::IsExtWild() const { return HasWild(Ext()); }
EXPORT_C TBool TParseBase::IsWild() const { return IsNameWild() || IsExtWild(); }

EXPORT_C TInt TParseBase::AddDir(const TDesC& aName) {
  if (aName.Length() == 0) return KErrNone;
  TText16String dir(reinterpret_cast<const char16_t*>(aName.Ptr()), aName.Length());
  for (TUint16 c : dir)
    if (IsIllegal(c, EFalse)) return KErrBadName;
  dir += u'\\';
  if (dir[0] == '\\' || !ValidPath(dir)) return KErrBadName;
  TText16String insert = dir;
  if (iField[EPath].iLen == 0) insert = u"\\" + dir;
  if (iNameBuf.Length() + static_cast<TInt>(insert.size()) > KMaxFileName) return KErrGeneral;
  const TInt at = iField[EPath].iPos + iField[EPath].iLen;
  iNameBuf.Insert(at, TPtrC(reinterpret_cast<const TUint16*>(insert.data()), static_cast<TInt>(insert.size())));
  iField[EPath].iLen = static_cast<TInt16>(iField[EPath].iLen + insert.size());
  iField[EName].iPos = static_cast<TInt16>(iField[EName].iPos + insert.size());
  iField[EExt].iPos = static_cast<TInt16>(iField[EExt].iPos + insert.size());
  return KErrNone;
}

EXPORT_C TInt TParseBase::PopDir() {
  TPtrC path = Path();
  if (path.Length() <= 1) return KErrGeneral;
  // Find the "\" before the last folder's trailing "\".
  TInt cut = TPtrC(path.Ptr(), path.Length() - 1).LocateReverse('\\');
  if (cut < 0) return KErrGeneral;
  const TInt removed = path.Length() - (cut + 1);
  iNameBuf.Delete(iField[EPath].iPos + cut + 1, removed);
  iField[EPath].iLen = static_cast<TInt16>(iField[EPath].iLen - removed);
  iField[EName].iPos = static_cast<TInt16>(iField[EName].iPos - removed);
  iField[EExt].iPos = static_cast<TInt16>(iField[EExt].iPos - removed);
  return KErrNone;
}

EXPORT_C TParse::TParse() {}

EXPORT_C TInt TParse::Set(const TDesC& aName, const TDesC* aRelated, const TDesC* aDefault) {
  return DoSet(aName, aRelated, aDefault, ETrue);
}

EXPORT_C TInt TParse::SetNoWild(const TDesC& aName, const TDesC* aRelated, const TDesC* aDefault) {
  return DoSet(aName, aRelated, aDefault, EFalse);
}

EXPORT_C TParsePtrC::TParsePtrC(const TDesC& aName) : iError(KErrNone) {
  iError = DoSet(aName, NULL, NULL, ETrue);
}
