#include "zwindows/error.h"

#include <cerrno>
#include <map>

namespace zwin {

namespace {
thread_local DWORD tLastError = ERROR_SUCCESS;

const std::map<DWORD, const char*>& Messages() {
  static const std::map<DWORD, const char*> messages = {
      {ERROR_SUCCESS, "The operation completed successfully."},
      {ERROR_INVALID_FUNCTION, "Incorrect function."},
      {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
      {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
      {ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file."},
      {ERROR_ACCESS_DENIED, "Access is denied."},
      {ERROR_INVALID_HANDLE, "The handle is invalid."},
      {ERROR_NOT_ENOUGH_MEMORY, "Not enough storage is available to process this command."},
      {ERROR_INVALID_DRIVE, "The system cannot find the drive specified."},
      {ERROR_CURRENT_DIRECTORY, "The directory cannot be removed."},
      {ERROR_WRITE_PROTECT, "The media is write protected."},
      {ERROR_NOT_READY, "The device is not ready."},
      {ERROR_WRITE_FAULT, "The system cannot write to the specified device."},
      {ERROR_READ_FAULT, "The system cannot read from the specified device."},
      {ERROR_GEN_FAILURE, "A device attached to the system is not functioning."},
      {ERROR_SHARING_VIOLATION,
       "The process cannot access the file because it is being used by another process."},
      {ERROR_HANDLE_EOF, "Reached the end of the file."},
      {ERROR_HANDLE_DISK_FULL, "The disk is full."},
      {ERROR_NOT_SUPPORTED, "The request is not supported."},
      {ERROR_BAD_NETPATH, "The network path was not found."},
      {ERROR_FILE_EXISTS, "The file exists."},
      {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
      {ERROR_DISK_FULL, "There is not enough space on the disk."},
      {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect."},
      {ERROR_NEGATIVE_SEEK,
       "An attempt was made to move the file pointer before the beginning of the file."},
      {ERROR_DIR_NOT_EMPTY, "The directory is not empty."},
      {ERROR_BAD_PATHNAME, "The specified path is invalid."},
      {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
      {ERROR_BAD_EXE_FORMAT, "The specified program is not a valid application."},
      {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
      {ERROR_MORE_DATA, "More data is available."},
      {ERROR_NO_MORE_ITEMS, "No more data is available."},
      {ERROR_DIRECTORY, "The directory name is invalid."},
      {ERROR_BADDB, "The configuration registry database is corrupt."},
      {ERROR_BADKEY, "The configuration registry key is invalid."},
      {ERROR_CANTOPEN, "The configuration registry key could not be opened."},
      {ERROR_CANTREAD, "The configuration registry key could not be read."},
      {ERROR_CANTWRITE, "The configuration registry key could not be written."},
      {ERROR_KEY_DELETED,
       "Illegal operation attempted on a registry key that has been marked for deletion."},
      {ERROR_CANCELLED, "The operation was canceled by the user."},
  };
  return messages;
}
}  // namespace

DWORD GetLastError() { return tLastError; }

void SetLastError(DWORD aCode) { tLastError = aCode; }

std::string SystemMessage(DWORD aCode) {
  const auto& messages = Messages();
  auto it = messages.find(aCode);
  if (it == messages.end()) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return {};
  }
  return std::string(it->second) + "\r\n";
}

DWORD ErrorFromErrno(int aErrno) {
  switch (aErrno) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EROFS: return ERROR_WRITE_PROTECT;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOEXEC: return ERROR_BAD_EXE_FORMAT;
    case EIO: return ERROR_GEN_FAILURE;
    default: return ERROR_GEN_FAILURE;
  }
}

}  // namespace zwin
