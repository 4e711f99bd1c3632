// Where the picture of a palettized mode lies on a desktop window: the largest 4:3 box (the
// shape of a 320x200 mode on a CRT), centred, black around it.
#pragma once
struct PictureBox {
  int x, y, w, h;
};

inline PictureBox letterbox(int out_w, int out_h) {
  int w = out_w;
  int h = out_w * 3 / 4;
  if (h > out_h) {
    h = out_h;
    w = out_h * 4 / 3;
  }
  return PictureBox{(out_w - w) / 2, (out_h - h) / 2, w, h};
}
