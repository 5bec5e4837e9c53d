#include "viewer/model/CdRomDrive.h"
#include "viewer/model/tests/BatchFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(CdRomDrive, FirstOpticalMountPoint) {
  const struct {
    const char* what;
    std::string table;
    const char* root;
  } cases[] = {
      {"an ISO 9660 disc with a blank in its mount point",
       "sysfs /sys sysfs rw 0 0\n/dev/sda1 / ext4 rw,relatime 0 0\n/dev/sr0 /media/cd\\040rom iso9660 ro,nosuid 0 0\n"
       "/dev/sr1 /media/dvd udf ro 0 0\n",
       "/media/cd rom/"},
      {"a UDF disc", "/dev/sda1 / ext4 rw 0 0\n/dev/sr1 /run/media/anna/DISC01 udf ro 0 0\n", "/run/media/anna/DISC01/"},
      {"a damaged line before it", "garbage\n\n/dev/sr0 /mnt iso9660 ro 0 0\n", "/mnt/"},
      {"no disc", "/dev/sda1 / ext4 rw 0 0\ntmpfs /tmp tmpfs rw 0 0\n", nullptr},
      {"an empty table", "", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    WriteBytes(folder.Path() / "mounts", c.table);
    RecordingWindows windows;
    CString root = u"left over";
    EXPECT_EQ(FindCdRomDrive(root, &windows, folder.Wide("mounts")) != FALSE, c.root != nullptr);
    EXPECT_EQ(root.ToUtf8(), c.root ? c.root : "");
    EXPECT_EQ(windows.boxes, c.root ? std::vector<std::string> {} : std::vector<std::string> {"error MSG_ERR_NOCDROMDRIVE"});
  }
  CString root;
  EXPECT_FALSE(FindCdRomDrive(root, nullptr, u"/nonexistent/mounts"));
}

TEST(CdRomDrive, DrivesAreMountPointsOfDevicesAndShares) {
  TempFolder folder;
  WriteBytes(folder.Path() / "mounts",
             "proc /proc proc rw 0 0\noverlay / overlay rw 0 0\n/dev/sda1 / ext4 rw 0 0\ntmpfs /tmp tmpfs rw 0 0\n"
             "/dev/loop3 /snap/core/1 squashfs ro 0 0\n/dev/sr0 /media/cd\\040rom iso9660 ro 0 0\n"
             "server:/export /net/export nfs4 rw 0 0\n/dev/sda1 / ext4 rw 0 0\ngarbage\n/dev/sdb1 /data xfs rw 0 0\n");
  std::vector<std::string> roots;
  std::vector<bool> optical;
  for (const MountedDrive& drive : MountedDrives(folder.Wide("mounts"))) {
    roots.push_back(drive.root.ToUtf8());
    optical.push_back(drive.optical);
  }
  EXPECT_EQ(roots, (std::vector<std::string> {"/", "/media/cd rom/", "/net/export/", "/data/"}));
  EXPECT_EQ(optical, (std::vector<bool> {false, true, false, false}));
  EXPECT_TRUE(MountedDrives(u"/nonexistent/mounts").empty());
}

namespace {

// Inserts a disc (a file in the drive's folder) when the user answers OK.
class InsertingWindows : public RecordingWindows {
public:
  explicit InsertingWindows(fs::path drive) : m_drive(std::move(drive)) {}
  BOOL OKCancelMsg(LPCWSTR textKey, LPCWSTR captionKey, const CIBSPlaceholders& placeholders) override {
    RecordingWindows::OKCancelMsg(textKey, captionKey, placeholders);
    if (boxes.size() == 2) WriteBytes(m_drive / "DOC_CD", "");
    return TRUE;
  }

private:
  fs::path m_drive;
};

}  // namespace

TEST(CdRomDrive, DiscInDrive) {
  TempFolder folder;
  fs::create_directories(folder.Path() / "full/DOC_CD");
  fs::create_directories(folder.Path() / "empty");
  RecordingWindows windows;
  EXPECT_TRUE(CheckDiscInDrive(folder.Wide("full"), &windows));
  EXPECT_TRUE(windows.boxes.empty());

  windows.okAnswers = 1;
  EXPECT_FALSE(CheckDiscInDrive(folder.Wide("empty"), &windows));
  const std::string question = "question MSG_LOADCDTODRIVE_RETRY <%cddrive%>=" + (folder.Path() / "empty").string() +
                               " caption=MSG_CAPTION_INSERTCD";
  EXPECT_EQ(windows.boxes, (std::vector<std::string> {question, question}));

  InsertingWindows inserting(folder.Path() / "empty");
  EXPECT_TRUE(CheckDiscInDrive(folder.Wide("empty"), &inserting));
  EXPECT_EQ(inserting.boxes.size(), 2u);

  EXPECT_FALSE(CheckDiscInDrive(folder.Wide("missing"), nullptr));
}
