#include "base/disk_space.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <utility>

#include "base/errors.h"

namespace lexorin {

namespace {

std::string Kilobytes(std::uintmax_t bytes) {
    return std::to_string((bytes + 1023) / 1024) + " KB";
}

}  // namespace

void DiskSpaceNeeds::Add(std::string folder, std::uintmax_t bytes, const std::string& what,
                         const std::string& why) {
    if (bytes == 0) return;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    needs_.push_back({std::move(folder), bytes, what, why});
}

void DiskSpaceNeeds::Require(const std::string& nothing_changed) const {
    // The needs of each disk, the same need of several folders counted once, in their order.
    struct Disk {
        std::string folder;
        std::vector<Need> needs;
        std::uintmax_t bytes = 0;
    };
    std::vector<std::pair<dev_t, Disk>> disks;
    for (const auto& need : needs_) {
        struct stat status {};
        if (::stat(need.folder.c_str(), &status) != 0) continue;
        auto disk = std::find_if(disks.begin(), disks.end(),
                                 [&](const auto& known) { return known.first == status.st_dev; });
        if (disk == disks.end())
            disk = disks.insert(disks.end(), {status.st_dev, Disk{need.folder, {}, 0}});
        disk->second.bytes += need.bytes;
        auto same = std::find_if(disk->second.needs.begin(), disk->second.needs.end(),
                                 [&](const Need& known) { return known.what == need.what; });
        if (same == disk->second.needs.end())
            disk->second.needs.push_back(need);
        else
            same->bytes += need.bytes;
    }
    for (const auto& [device, disk] : disks) {
        struct statvfs space {};
        if (::statvfs(disk.folder.c_str(), &space) != 0) continue;
        const std::uintmax_t free_bytes = static_cast<std::uintmax_t>(space.f_bavail) *
                                          static_cast<std::uintmax_t>(space.f_frsize);
        if (free_bytes >= disk.bytes) continue;
        // "the rows need about 300 KB and the journals about 100 KB (why; why)"
        std::string needs, reasons;
        for (size_t i = 0; i < disk.needs.size(); ++i) {
            const Need& need = disk.needs[i];
            needs += (i == 0                       ? ""
                      : i + 1 == disk.needs.size() ? " and "
                                                   : ", ") +
                     need.what + (i == 0 ? " need about " : " about ") + Kilobytes(need.bytes);
            if (!need.why.empty()) reasons += (reasons.empty() ? "" : "; ") + need.why;
        }
        throw Error("Not enough space on the disk of " + disk.folder + ": " + needs +
                    (reasons.empty() ? "" : " (" + reasons + ")") + ", " + Kilobytes(free_bytes) +
                    " are free. " + nothing_changed);
    }
}

}  // namespace lexorin
