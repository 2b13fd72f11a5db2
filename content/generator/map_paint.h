// Drawing the features of a map source into its picture, and what the drawings share.
// Features give map pixels; the picture is half the map's size, so every drawing
// halves its coordinates first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "content/generator/image.h"
#include "content/generator/map_source.h"

// A rectangle in picture pixels.
struct Box {
  int x, y, w, h;
};

// The feature's numbers first..first+3 (x, y, width, height in map pixels), halved.
Box PictureBox(const Feature& f, size_t first = 0);
// 0..255, the same for the same pixel and seed.
int Noise(int x, int y, int seed);
// `base` lightened or darkened by up to `amount` (0..1) by the noise at (x, y).
uint32_t Mottle(uint32_t base, int x, int y, int seed, double amount);
// Darkens what is drawn inside the ellipse, as a shadow on the ground.
void Shadow(Image& picture, double cx, double cy, double rx, double ry, double amount = 0.3);
// The area of an obstacle of map rectangle (x, y, w, h) and shape 1, 2 or 3 (a band
// leaning right or left going down), as a picture polygon, grown by `grow` picture
// pixels to the left and right.
std::vector<Point> BandPolygon(int x, int y, int w, int h, int shape, double grow = 0);
// The obstacle shape a band's style names: rect, leanright or leanleft.
int BandShape(const Feature& f);
// A block seen from above and the front: its top face over its front face of height
// `front`, outlined.
void Block(Image& picture, Box b, int front, uint32_t top, uint32_t face);
// Darkens what is drawn inside the box, as a shadow on the ground.
void ShadowBox(Image& picture, Box b, double amount = 0.3);
// The surface names that `area` takes, space separated.
std::string SurfaceNames();
// A named colour of the sources' palette (white, black, gold, red, ...).
uint32_t NamedColor(const std::string& name);

// One painter per kind of feature; each draws `f` into the picture.
void PaintArea(Image& picture, const Feature& f);
void PaintStreet(Image& picture, const Feature& f);
void PaintCrossing(Image& picture, const Feature& f);
void PaintWater(Image& picture, const Feature& f);
void PaintBridge(Image& picture, const Feature& f);
void PaintParking(Image& picture, const Feature& f);
void PaintFlowers(Image& picture, const Feature& f);
void PaintText(Image& picture, const Feature& f);
void PaintRug(Image& picture, const Feature& f);

void PaintHouse(Image& picture, const Feature& f);
void PaintShop(Image& picture, const Feature& f);
void PaintTownHall(Image& picture, const Feature& f);
void PaintEntrance(Image& picture, const Feature& f);

void PaintTree(Image& picture, const Feature& f);
void PaintHedge(Image& picture, const Feature& f);
void PaintFence(Image& picture, const Feature& f);
void PaintFountain(Image& picture, const Feature& f);
void PaintSign(Image& picture, const Feature& f);
void PaintBench(Image& picture, const Feature& f);

void PaintWall(Image& picture, const Feature& f);
void PaintBackWall(Image& picture, const Feature& f);
void PaintWindow(Image& picture, const Feature& f);
void PaintPoster(Image& picture, const Feature& f);
void PaintDoor(Image& picture, const Feature& f);
void PaintFurniture(Image& picture, const Feature& f);
