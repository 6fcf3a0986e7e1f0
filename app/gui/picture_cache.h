#pragma once
// Decoded artwork kept on disk. The window decodes a bundled picture once
// and keeps its pixels, in the form the scene graph draws from, under the
// data folder ("Caches/pictures"); later starts read those pixels instead of
// decoding the picture again (decoding a screen's artwork costs more than the
// rest of its first frame). A kept picture belongs to its source file's
// path, size and modification time: when the file changes, it is decoded
// and kept anew. Only small pictures (icons, patterns) are kept.

#include <QImage>

#include <string>

namespace yx::gui {

// The pixels kept for the picture file at `sourcePath`; null when none are
// kept, the file changed since, or what is kept is damaged.
QImage readKeptPicture(const std::string& sourcePath);

// Keeps a decoded picture of the file at `sourcePath` (nothing happens for
// a large picture, or when the data folder cannot be written).
void keepPicture(const std::string& sourcePath, const QImage& picture);

// The same a moment later (a second and a half), on a worker thread: the
// first frames of a first start do not wait for the writing. Callable from
// any thread.
void keepPictureSoon(const std::string& sourcePath, const QImage& picture);
// Keeps now what is still waiting (the window closes).
void keepWaitingPictures();

}  // namespace yx::gui
