// Pictures of modules: found by module, kind and name, and forgotten when their module unloads.

#include "platform/gdi/ModuleImages.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<unsigned char> Png(QColor colour) {
  QImage image(3, 2, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

}  // namespace

// Two modules name a bitmap alike; when the first unloads its data goes with it, so nothing of it
// may be found or read again.
TEST(ModuleImages, AnUnloadedModulesPicturesAreForgotten) {
  static int first, second;
  const auto a = reinterpret_cast<HMODULE>(&first);
  const auto b = reinterpret_cast<HMODULE>(&second);
  auto dataA = std::make_unique<std::vector<unsigned char>>(Png(Qt::red));
  const std::vector<unsigned char> dataB = Png(Qt::blue);
  RegisterModuleImage(a, ModuleImageKind::Bitmap, u"Shared", dataA->data(), dataA->size());
  RegisterModuleImage(b, ModuleImageKind::Bitmap, u"shared", dataB.data(), dataB.size(), 1, 2);
  EXPECT_EQ(FindModuleImageModule(ModuleImageKind::Bitmap, u"SHARED"), a);
  EXPECT_EQ(FindModuleImageModule(ModuleImageKind::Icon, u"shared"), nullptr) << "kinds are apart";

  UnregisterModuleImages(a);
  dataA.reset();
  EXPECT_TRUE(FindModuleImage(a, ModuleImageKind::Bitmap, u"shared").image.isNull());
  EXPECT_EQ(FindModuleImageModule(ModuleImageKind::Bitmap, u"shared"), b);
  const ModuleImage picture = FindModuleImage(b, ModuleImageKind::Bitmap, u"shared");
  ASSERT_EQ(picture.image.size(), QSize(3, 2));
  EXPECT_EQ(picture.image.pixel(0, 0), QColor(Qt::blue).rgb());
  EXPECT_EQ(picture.hotSpot, QPoint(1, 2));
  UnregisterModuleImages(b);
}
