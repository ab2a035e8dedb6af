// Listing a folder with readdir: one system call per batch of entries and no
// stat for entries whose type the file system reports, so a large tree is
// walked at file-system speed.
#include "FolderListing.h"

#include "NameOrder.h"

#include <dirent.h>
#include <sys/stat.h>

FolderContents listFolder(const std::string &folder)
{
    FolderContents contents;
    DIR *directory = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!directory)
        return contents;   // unreadable or gone: nothing to add from here
    struct stat folderStatus {};
    if (::fstat(::dirfd(directory), &folderStatus) == 0)
        contents.identity = {std::uint64_t(folderStatus.st_dev), std::uint64_t(folderStatus.st_ino)};
    while (const dirent *entry = ::readdir(directory)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        unsigned char type = entry->d_type;
        struct stat status {};
        // Most file systems report the type; only the rest, and links, cost a stat.
        const auto path = [&] { return folder + '/' + name; };
        if (type == DT_UNKNOWN && ::lstat(path().c_str(), &status) == 0)
            type = S_ISLNK(status.st_mode) ? DT_LNK : S_ISDIR(status.st_mode) ? DT_DIR : DT_REG;
        if (type == DT_LNK && ::stat(path().c_str(), &status) == 0 && S_ISDIR(status.st_mode))
            continue;   // links to folders are never followed: the walk stays in the tree and ends

        if (type != DT_DIR)
            contents.files.emplace_back(name);     // hidden files too; a dangling link counts as a file
        else if (name[0] != '.')
            contents.folders.emplace_back(name);   // hidden folders are not visited
    }
    ::closedir(directory);
    sortByName(contents.files);
    sortByName(contents.folders);
    return contents;
}
