// The file server: sessions, files, entries and file-name parsing.
// Device names use backslashes ("C:\System\Apps\Game\Game.app"); see zhost/files.h for
// where each drive lives on the host. Name lookup ignores letter case, as on the device.
#ifndef F32FILE_H
#define F32FILE_H

#include <e32std.h>
#include <e32base.h>

#include <string>

const TInt KMaxDrives = 26;
const TInt KFileServerDefaultMessageSlots = -1;

// Entry attributes.
const TUint KEntryAttNormal = 0x0000;
const TUint KEntryAttReadOnly = 0x0001;
const TUint KEntryAttHidden = 0x0002;
const TUint KEntryAttSystem = 0x0004;
const TUint KEntryAttVolume = 0x0008;
const TUint KEntryAttDir = 0x0010;
const TUint KEntryAttArchive = 0x0020;

// Open modes: one share mode, optionally combined with EFileWrite and EFileStreamText.
enum TFileMode {
  EFileShareExclusive = 0x00,
  EFileShareReadersOnly = 0x01,
  EFileShareAny = 0x02,
  EFileStream = 0x000,
  EFileStreamText = 0x100,
  EFileRead = 0x000,
  EFileWrite = 0x200,
};

enum TSeek { ESeekAddress, ESeekStart, ESeekCurrent, ESeekEnd };

class TEntry {
public:
  TEntry() : iAtt(0), iSize(0) {}
  TBool IsReadOnly() const { return (iAtt & KEntryAttReadOnly) != 0; }
  TBool IsHidden() const { return (iAtt & KEntryAttHidden) != 0; }
  TBool IsSystem() const { return (iAtt & KEntryAttSystem) != 0; }
  TBool IsDir() const { return (iAtt & KEntryAttDir) != 0; }
  TBool IsArchive() const { return (iAtt & KEntryAttArchive) != 0; }

  TUint iAtt;
  TInt iSize;
  TTime iModified;
  TBufC<KMaxFileName> iName;
};

// A parsed file name: drive ("C:"), path ("\System\Apps\"), name ("Game") and
// extension (".app"). The parse keeps the full name in its own buffer.
class TParseBase {
public:
  IMPORT_C TPtrC FullName() const;
  IMPORT_C TPtrC Drive() const;
  IMPORT_C TPtrC Path() const;
  IMPORT_C TPtrC DriveAndPath() const;
  IMPORT_C TPtrC Name() const;
  IMPORT_C TPtrC Ext() const;
  IMPORT_C TPtrC NameAndExt() const;
  TBool DrivePresent() const { return iField[EDrive].iLen > 0; }
  TBool PathPresent() const { return iField[EPath].iLen > 0; }
  TBool NamePresent() const { return iField[EName].iLen > 0; }
  TBool ExtPresent() const { return iField[EExt].iLen > 0; }
  TBool NameOrExtPresent() const { return NamePresent() || ExtPresent(); }
  // The path is "\".
  IMPORT_C TBool IsRoot() const;
  IMPORT_C TBool IsWild() const;
  IMPORT_C TBool IsNameWild() const;
  IMPORT_C TBool IsExtWild() const;
  // Appends one folder level (or several separated by "\") to the path.
  IMPORT_C TInt AddDir(const TDesC& aName);
  // Removes the last folder of the path; KErrGeneral at the root.
  IMPORT_C TInt PopDir();

protected:
  enum { EDrive, EPath, EName, EExt, EFieldCount };
  struct TField {
    TInt16 iPos;
    TInt16 iLen;
  };
  IMPORT_C TParseBase();
  // Parses aName against the related and default names into the buffer.
  IMPORT_C TInt DoSet(const TDesC& aName, const TDesC* aRelated, const TDesC* aDefault, TBool aAllowWild);
  TPtrC FieldPtr(TInt aField) const { return TPtrC(iNameBuf.Ptr() + iField[aField].iPos, iField[aField].iLen); }

  TField iField[EFieldCount];
  TFileName iNameBuf;
};

class TParse : public TParseBase {
public:
  IMPORT_C TParse();
  // Each part missing from aName is taken from aRelated, then from aDefault. A path in
  // aName not beginning with "\" is relative to the path so taken. KErrBadName for an
  // invalid name or a result longer than KMaxFileName.
  IMPORT_C TInt Set(const TDesC& aName, const TDesC* aRelated, const TDesC* aDefault);
  // As Set, but wildcards ("*", "?") are refused with KErrBadName.
  IMPORT_C TInt SetNoWild(const TDesC& aName, const TDesC* aRelated, const TDesC* aDefault);
};

// Parses a name on its own. An invalid name leaves every part empty; Error() tells why.
class TParsePtrC : public TParseBase {
public:
  IMPORT_C explicit TParsePtrC(const TDesC& aName);
  TInt Error() const { return iError; }

private:
  TInt iError;
};

class RFs;

class RFile {
public:
  IMPORT_C RFile();
  // Opens an existing file. KErrNotFound, KErrPathNotFound, KErrBadName, KErrNotReady,
  // KErrAccessDenied (a folder, or a file that is not a plain file or not permitted).
  IMPORT_C TInt Open(RFs& aFs, const TDesC& aName, TUint aFileMode);
  // Creates a new file; KErrAlreadyExists if there is one.
  IMPORT_C TInt Create(RFs& aFs, const TDesC& aName, TUint aFileMode);
  // Creates a file, or empties an existing one.
  IMPORT_C TInt Replace(RFs& aFs, const TDesC& aName, TUint aFileMode);
  IMPORT_C void Close();
  // Reads from the current position up to the descriptor's maximum length (or aLength,
  // which must not exceed it: KErrOverflow); the length is set to the bytes read, 0 at
  // the end of the file.
  IMPORT_C TInt Read(TDes8& aDes) const;
  IMPORT_C TInt Read(TDes8& aDes, TInt aLength) const;
  IMPORT_C TInt Read(TInt aPos, TDes8& aDes) const;
  IMPORT_C TInt Read(TInt aPos, TDes8& aDes, TInt aLength) const;
  IMPORT_C TInt Write(const TDesC8& aDes);
  IMPORT_C TInt Write(const TDesC8& aDes, TInt aLength);
  IMPORT_C TInt Write(TInt aPos, const TDesC8& aDes);
  // KErrTooBig for a file that a 32-bit size cannot hold.
  IMPORT_C TInt Size(TInt& aSize) const;
  IMPORT_C TInt SetSize(TInt aSize);
  IMPORT_C TInt Seek(TSeek aMode, TInt& aPos) const;
  IMPORT_C TInt Flush();
  TInt SubSessionHandle() const { return iFd >= 0 ? iFd + 1 : 0; }

private:
  TInt DoOpen(RFs& aFs, const TDesC& aName, TUint aFileMode, TInt aHow);
  TInt iFd;
  TUint iMode;
};

class RFs : public RSessionBase {
public:
  IMPORT_C RFs();
  IMPORT_C TInt Connect(TInt aMessageSlots = KFileServerDefaultMessageSlots);
  IMPORT_C void Close();
  // A full or session-relative name without wildcards or the characters < > : " / |,
  // with a name or extension, no empty, "." or ".." folder, at most KMaxFileName long.
  IMPORT_C TBool IsValidName(const TDesC& aFileName) const;
  // Parses against the session path (drive and path).
  IMPORT_C TInt Parse(const TDesC& aName, TParse& aParse) const;
  IMPORT_C TInt Parse(const TDesC& aName, const TDesC& aRelated, TParse& aParse) const;
  IMPORT_C TInt SessionPath(TDes& aPath) const;
  IMPORT_C TInt SetSessionPath(const TDesC& aPath);
  IMPORT_C TInt Entry(const TDesC& aName, TEntry& aEntry) const;
  IMPORT_C TInt Att(const TDesC& aName, TUint& aAttValue) const;
  IMPORT_C TInt MkDir(const TDesC& aPath);
  // Creates every missing folder of the path part of aPath; KErrAlreadyExists if the
  // last one is there already.
  IMPORT_C TInt MkDirAll(const TDesC& aPath);
  IMPORT_C TInt RmDir(const TDesC& aPath);
  IMPORT_C TInt Delete(const TDesC& aName);
  IMPORT_C TInt Rename(const TDesC& aOldName, const TDesC& aNewName);

  // Host: the full device name of aName against the session path, and its host path
  // (result of ZHost::HostPath).
  IMPORT_C TInt Resolve(const TDesC& aName, TFileName& aFullName, std::string& aHostPath) const;

private:
  TFileName iSessionPath;
};

#endif
