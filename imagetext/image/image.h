// Images: one or more frames of equal size, each kept as a pixmap in memory and, made lazily from
// it, as a driver frame (a texture) that the current 2D driver can draw. Also the module's image
// functions: loading with the automatic flags and key colour, drawing, tiling and grabbing.
#pragma once

#include <memory>
#include <vector>

#include "imagetext/pixmap/pixmap.h"
#include "render2d/drawing/image_frame.h"

class TImage;
using ImageRef = std::shared_ptr<TImage>;
using ImageFrameRef = std::shared_ptr<TImageFrame>;

class TImage {
 public:
  int width = 0;
  int height = 0;
  int flags = 0;  // image flags (image_frame.h)
  int mask_r = 0;
  int mask_g = 0;
  int mask_b = 0;
  float handle_x = 0;  // the point of the image, in its own pixels, that lands on the position
  float handle_y = 0;
  std::vector<PixmapRef> pixmaps;     // one per frame, null until set or locked
  std::vector<ImageFrameRef> frames;  // one per frame, made lazily
  std::vector<int> seqs;  // per frame: the graphics serial its driver frame was made under, 0: none

  // An image of `frames` empty frames (a negative count makes none).
  static ImageRef Create(int width, int height, int frames, int flags, int mask_r, int mask_g,
                         int mask_b);
  // A one-frame image that uses the pixmap itself, not a copy. Null pixmap: null.
  static ImageRef Load(PixmapRef pixmap, int flags, int mask_r, int mask_g, int mask_b);
  // `count` frames cut from a grid of cells, starting at cell `first` and running left to right,
  // then top to bottom. Null when the pixmap holds fewer cells or a cell size is not positive.
  static ImageRef LoadAnim(PixmapRef pixmap, int cell_width, int cell_height, int first, int count,
                           int flags, int mask_r, int mask_g, int mask_b);

  // The driver frame of a frame, made under the current graphics serial on first use after the
  // serial moved on or the pixmap changed. Null when the driver makes none (retried on every call)
  // or the index is out of range.
  TImageFrame* Frame(int index);
  // The frame's pixmap, made blank (transparent black, RGBA8888) if there is none yet. Locking for
  // writing drops the driver frame so that the next Frame rebuilds it. `read` is not used.
  PixmapRef Lock(int index, int read, int write);
  // Stores the pixmap, masked first when the image is masked and the pixmap has no alpha.
  void SetPixmap(int index, PixmapRef pixmap);

 private:
  bool HasFrame(int index) const { return index >= 0 && index < static_cast<int>(seqs.size()); }
};

// Module image functions. A flags argument of -1 means the automatic image flags; new images get
// the module key colour and, with the automatic centre-handle switch on, a centred handle.
ImageRef ImageFromSource(PixmapRef pixmap, int flags);
ImageRef ImageStripFromSource(PixmapRef pixmap, int cell_width, int cell_height, int first,
                              int count, int flags);
ImageRef NewDrawImage(int width, int height, int frames, int flags);

// Draw a frame with the image's handle on (x, y) plus the drawing origin, under the current
// rotation and scale. Nothing is drawn when the frame cannot be made.
void DrawImageAt(TImage& image, float x, float y, int frame);
void DrawImageSized(TImage& image, float x, float y, float width, float height, int frame);
// Covers the whole viewport with unrotated, unscaled copies aligned so that one of them would sit
// exactly at the image's drawing position.
void TileImageOver(TImage& image, float x, float y, int frame);
// Reads the screen rectangle at (x, y) of the image's size into a frame.
void GrabImageFrame(TImage& image, int x, int y, int frame);

int ImageWidth(const TImage& image);
int ImageHeight(const TImage& image);
PixmapRef LockImage(TImage& image, int frame, int read, int write);
void UnlockImage(TImage& image, int frame);

void CentreImageHandle(TImage& image);
void SetImageHandlePoint(TImage& image, float x, float y);
void SetAutoCentreHandle(int on);
void SetAutoImageFlags(int flags);  // -1 leaves them as they are
int AutoImageFlags();
void SetImageMaskColour(int red, int green, int blue);
void GetImageMaskColour(int& red, int& green, int& blue);
