#include "uninstall/nt_file_win.h"

#include "uninstall/removal_pattern.h"

namespace {

FARPROC ntdllCall(const char* name)
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), name);
}

}  // namespace

NtOpenFileCall ntOpenFile = (NtOpenFileCall)(void*)ntdllCall("NtOpenFile");
NtQueryDirectoryFileCall ntQueryDirectoryFile = (NtQueryDirectoryFileCall)(void*)ntdllCall("NtQueryDirectoryFile");
NtFileInformationCall ntQueryInformationFile = (NtFileInformationCall)(void*)ntdllCall("NtQueryInformationFile");
NtFileInformationCall ntSetInformationFile = (NtFileInformationCall)(void*)ntdllCall("NtSetInformationFile");

HANDLE holdFolder(const char* path)
{
    // Listing access takes part in sharing, where attributes alone would
    // not. The link itself is opened, never what it leads to. A program
    // that has the folder open for deletion already (to rename it, say)
    // keeps it from being held so; it is opened with delete sharing then,
    // as everything goes through the handle and a rename leads nowhere.
    for (DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;; share |= FILE_SHARE_DELETE) {
        HANDLE folder = CreateFileA(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, share, NULL, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
        if (folder != INVALID_HANDLE_VALUE || (share & FILE_SHARE_DELETE) || GetLastError() != ERROR_SHARING_VIOLATION)
            return folder;
    }
}

int ansiName(NtName name, char* out, size_t size)
{
    // Code page 65001 takes neither the flag nor the question, and has an
    // exact form for every character.
    bool utf8 = GetACP() == CP_UTF8;
    BOOL inexact = FALSE;
    int length = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, name.text, (int)name.length, out,
                                     (int)size - 1, NULL, utf8 ? NULL : &inexact);
    if (length == 0 || inexact)
        return -1;
    out[length] = '\0';
    return 0;
}

NTSTATUS openInFolder(HANDLE folder, NtName name, ACCESS_MASK access, ULONG share, ULONG options, HANDLE* opened)
{
    UNICODE_STRING text = {(USHORT)(name.length * 2), (USHORT)(name.length * 2), (PWSTR)name.text};
    OBJECT_ATTRIBUTES object;
    InitializeObjectAttributes(&object, &text, OBJ_CASE_INSENSITIVE, folder, NULL);
    IO_STATUS_BLOCK io;
    *opened = NULL;
    return ntOpenFile(opened, access | SYNCHRONIZE, &object, &io, share,
                      options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT);
}

NTSTATUS readFileAttributes(HANDLE file, ULONG* attributes)
{
    FILE_BASIC_INFORMATION basic;
    IO_STATUS_BLOCK io;
    NTSTATUS status = ntQueryInformationFile(file, &io, &basic, sizeof basic, FileBasicInformation);
    *attributes = basic.FileAttributes;
    return status;
}

bool isEnterableFolder(HANDLE folder)
{
    ULONG attributes;
    if (readFileAttributes(folder, &attributes) != 0 || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return true;
    FILE_ATTRIBUTE_TAG_INFORMATION tag;
    IO_STATUS_BLOCK io;
    return ntQueryInformationFile(folder, &io, &tag, sizeof tag, FileAttributeTagInformation) == 0 &&
           entersReparseFolder(tag.ReparseTag);
}

NTSTATUS setDeleteOnClose(HANDLE file, bool on)
{
    FILE_DISPOSITION_INFORMATION disposition;
    disposition.DoDeleteFile = on;
    IO_STATUS_BLOCK io;
    return ntSetInformationFile(file, &io, &disposition, sizeof disposition, FileDispositionInformation);
}

FolderListing::FolderListing(HANDLE folder, const NtName* name)
    : handle_(NULL), filter_(name), first_(true), entry_(nullptr)
{
    static const WCHAR kItself[] = L"";
    openInFolder(folder, {kItself, 0}, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                 FILE_DIRECTORY_FILE, &handle_);
}

FolderListing::~FolderListing()
{
    if (handle_)
        CloseHandle(handle_);
}

bool FolderListing::next()
{
    if (entry_ && entry_->NextEntryOffset) {
        entry_ = (const FILE_FULL_DIR_INFORMATION*)((const char*)entry_ + entry_->NextEntryOffset);
        return true;
    }
    if (!handle_)
        return false;
    UNICODE_STRING filter = {};
    if (filter_)
        filter = {(USHORT)(filter_->length * 2), (USHORT)(filter_->length * 2), (PWSTR)filter_->text};
    IO_STATUS_BLOCK io;
    NTSTATUS status = ntQueryDirectoryFile(handle_, NULL, NULL, NULL, &io, buffer_, sizeof buffer_,
                                           FileFullDirectoryInformation, FALSE, filter_ ? &filter : NULL, first_);
    first_ = false;
    if (status != 0) {
        CloseHandle(handle_);
        handle_ = NULL;
        entry_ = nullptr;
        return false;
    }
    entry_ = (const FILE_FULL_DIR_INFORMATION*)(void*)buffer_;
    return true;
}
