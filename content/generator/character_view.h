// How a figure is turned in each of the five views drawn; the other three directions are
// their mirror images. x values are offsets from the cell's middle column.
#pragma once

#include "content/generator/image.h"

struct View {
  bool back;      // seen from behind: hair where the face would be
  bool profile;   // seen from the side, facing left
  double faceX;   // the face's middle
  double faceRx;  // the face's half width; 0 for none
  double hairX;   // the hair's middle
  int eyes;
  double eyeX[2];
  int ears;
  double earX[2];
  double torsoHalf;  // half the chest's width
  // Index 0 is the limb on the left of the picture, 1 the one on the right.
  double armX[2];
  bool armBehind[2];  // hidden behind the body but for what swings out
  double hipX[2];
  bool legFar[2];  // the far leg of a profile, darker
  // Walking: the leading foot and the hand swinging with it, moved from where they rest.
  Point leadFoot, trailFoot, leadHand, trailHand;
  double toe;    // how far the shoes point left
  double packX;  // where a backpack sits
};

constexpr double kMiddle = 16;
constexpr double kShoulderY = 19.5;  // top of the chest
constexpr double kWaistY = 32;       // bottom of a shirt
constexpr double kHipY = 30;
constexpr double kAnkleY = 43;
