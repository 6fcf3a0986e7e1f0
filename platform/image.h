#pragma once
// Decoding pictures (JPEG, PNG, GIF, BMP) just far enough to know whether
// bytes are a picture and how large it is; bundled images by name.

#include <memory>
#include <string>
#include <string_view>

namespace yx {

class Image {
public:
  Image() = default;
  // Inspects bytes; an empty image when they are not a picture.
  static Image fromBytes(std::string_view bytes);
  // Decodes shared bytes (kept, not copied): an empty image when they are not
  // a whole picture or it has more than maxPixels pixels (refused from its
  // header, before anything is allocated for it).
  static Image fromShared(std::shared_ptr<const std::string> bytes, long long maxPixels = kMaxPixels);
  // A bundled picture under resources/images/, by name with or without
  // extension ("hl_p1.jpg", "hl_p1"); an empty image when absent. Bundled
  // artwork is read once (while its file stays the same) and only its header
  // is decoded.
  static Image named(const std::string& name);
  // The file named() would read first, found without decoding it ("" when
  // there is none): for front-ends that decode pictures themselves.
  static std::string pathNamed(const std::string& name);

  static bool isImage(std::string_view bytes);

  // Pictures larger than this are refused rather than decoded.
  static constexpr long long kMaxPixels = 64LL * 1024 * 1024;

  bool empty() const { return width_ == 0; }
  int width() const { return width_; }
  int height() const { return height_; }
  // The resource name or "" for images made from bytes.
  const std::string& name() const { return name_; }
  const std::string& path() const { return path_; }
  // The encoded bytes (kept so front-ends can draw the picture).
  const std::string& bytes() const;
  const std::shared_ptr<const std::string>& data() const { return bytes_; }

  // Folder searched by named() (default: the source tree's resources/images).
  static void setResourceDirectory(const std::string& dir);
  static std::string resourceDirectory();

private:
  int width_ = 0;
  int height_ = 0;
  std::string name_;
  std::string path_;
  std::shared_ptr<const std::string> bytes_;
};

}  // namespace yx
