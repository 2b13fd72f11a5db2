#include "content/generator/character_figure.h"

#include <algorithm>
#include <utility>

#include "content/generator/character_head.h"
#include "content/generator/character_paint.h"
#include "content/generator/character_view.h"

namespace {

enum ViewIndex { kFront, kFrontQuarter, kProfile, kBackQuarter, kBack };

const View kViews[] = {
    // front
    {.back = false, .profile = false, .faceX = 0, .faceRx = 7, .hairX = 0, .eyes = 2, .eyeX = {-4.5, 2.5},
     .ears = 2, .earX = {-8, 8}, .torsoHalf = 6, .armX = {-7.5, 7.5}, .armBehind = {false, false},
     .hipX = {-2.6, 2.6}, .legFar = {false, false}, .leadFoot = {0, 0}, .trailFoot = {0, -3},
     .leadHand = {0.5, 2}, .trailHand = {-0.5, -2}, .toe = 0, .packX = 0},
    // front quarter, facing down-left
    {.back = false, .profile = false, .faceX = -2, .faceRx = 6.3, .hairX = 1, .eyes = 2, .eyeX = {-6.5, -1.5},
     .ears = 1, .earX = {5.5, 0}, .torsoHalf = 5.2, .armX = {-6, 6.5}, .armBehind = {true, false},
     .hipX = {-2.5, 2}, .legFar = {false, false}, .leadFoot = {-2.5, 0}, .trailFoot = {1.5, -3},
     .leadHand = {-2, 1.5}, .trailHand = {1.5, -1.5}, .toe = 1, .packX = 5},
    // profile, facing left
    {.back = false, .profile = true, .faceX = -3, .faceRx = 5.5, .hairX = 1.5, .eyes = 1, .eyeX = {-7, 0},
     .ears = 1, .earX = {1.5, 0}, .torsoHalf = 4.3, .armX = {0, 0}, .armBehind = {true, false},
     .hipX = {0, 0}, .legFar = {true, false}, .leadFoot = {-5, 0}, .trailFoot = {4.5, -1},
     .leadHand = {-4.5, 0}, .trailHand = {4.5, -1}, .toe = 2, .packX = 5.5},
    // back quarter, facing up-left
    {.back = true, .profile = false, .faceX = -5, .faceRx = 3.5, .hairX = 0.5, .eyes = 0, .eyeX = {0, 0},
     .ears = 1, .earX = {-6.5, 0}, .torsoHalf = 5.2, .armX = {-6.5, 6}, .armBehind = {false, true},
     .hipX = {-2, 2.5}, .legFar = {false, false}, .leadFoot = {-2.5, -3}, .trailFoot = {1.5, 0},
     .leadHand = {-2, -1.5}, .trailHand = {1.5, 1.5}, .toe = 1, .packX = 1.5},
    // back
    {.back = true, .profile = false, .faceX = 0, .faceRx = 0, .hairX = 0, .eyes = 0, .eyeX = {0, 0},
     .ears = 2, .earX = {-8, 8}, .torsoHalf = 6, .armX = {-7.5, 7.5}, .armBehind = {false, false},
     .hipX = {-2.6, 2.6}, .legFar = {false, false}, .leadFoot = {0, -3}, .trailFoot = {0, 0},
     .leadHand = {-0.5, -2}, .trailHand = {0.5, 2}, .toe = 0, .packX = 0},
};

// The view a direction code is drawn from, and whether it is mirrored.
std::pair<ViewIndex, bool> ViewOf(int direction) {
  switch (direction) {
    case 1: return {kProfile, false};
    case 2: return {kBack, false};
    case 3: return {kProfile, true};
    case 8: return {kFrontQuarter, false};
    case 9: return {kBackQuarter, false};
    case 10: return {kBackQuarter, true};
    case 11: return {kFrontQuarter, true};
    default: return {kFront, false};
  }
}

// A figure being drawn: the look, the view and, per side, whether that limb leads the step.
struct Pose {
  const CharacterLook& look;
  const View& view;
  bool legLeads[2];
  double torsoHalf;
};

bool Striped(const CharacterLook& look) { return look.top == Top::kPyjamas; }
uint32_t Stripe(const CharacterLook& look) { return Striped(look) ? look.trim : kClear; }

Point Foot(const Pose& pose, int side) {
  Point step = pose.legLeads[side] ? pose.view.leadFoot : pose.view.trailFoot;
  return {kMiddle + pose.view.hipX[side] + step.x, kAnkleY + step.y};
}

void Leg(Image& canvas, const Pose& pose, int side) {
  const CharacterLook& look = pose.look;
  double far = pose.view.legFar[side] ? -0.2 : 0;
  Point hip = {kMiddle + pose.view.hipX[side], kHipY}, foot = Foot(pose, side);
  PaintPart(canvas, Shade(look.legs, far), [&](Image& layer) { FillCapsule(layer, hip, foot, 2.4, 0); },
            Striped(look) ? Shade(look.trim, far) : kClear);
  double toe = pose.view.toe;
  PaintPart(canvas, Shade(look.shoes, far),
            [&](Image& layer) { layer.FillEllipse(foot.x - toe * 1.2, foot.y + 1.6, 3 + toe * 0.6, 2.3, 0); });
}

void Legs(Image& canvas, const Pose& pose) {
  // The foot further up the picture is further away: draw it first.
  bool rightFirst = pose.view.legFar[1] || (!pose.view.legFar[0] && Foot(pose, 1).y < Foot(pose, 0).y);
  Leg(canvas, pose, rightFirst ? 1 : 0);
  Leg(canvas, pose, rightFirst ? 0 : 1);
}

void Arm(Image& canvas, const Pose& pose, int side) {
  const CharacterLook& look = pose.look;
  double out = side == 0 ? -1 : 1, widen = pose.view.profile ? 0 : pose.torsoHalf - pose.view.torsoHalf;
  double x = kMiddle + pose.view.armX[side] + widen * out;
  Point swing = pose.legLeads[side] ? pose.view.trailHand : pose.view.leadHand;
  Point shoulder = {x, kShoulderY + 1.8}, hand = {x + out * 0.5 + swing.x, 30.5 + swing.y};
  Point elbow = {shoulder.x + (hand.x - shoulder.x) * 0.4, shoulder.y + (hand.y - shoulder.y) * 0.4};
  bool shortSleeve = look.top == Top::kTshirt || look.top == Top::kDress;
  PaintPart(canvas, shortSleeve ? look.skin : look.topColor, [&](Image& layer) { FillCapsule(layer, shoulder, hand, 1.7, 0); },
            Stripe(look));
  if (shortSleeve) {
    PaintPart(canvas, look.topColor, [&](Image& layer) { FillCapsule(layer, shoulder, elbow, 2, 0); });
  }
  PaintPart(canvas, look.skin, [&](Image& layer) { layer.FillEllipse(hand.x, hand.y + 1, 1.9, 1.9, 0); });
}

void Arms(Image& canvas, const Pose& pose, bool behind) {
  for (int side = 0; side < 2; side++) {
    if (pose.view.armBehind[side] == behind) Arm(canvas, pose, side);
  }
}

// Chest and belly, with a skirt or the tails of a coat below.
void Torso(Image& canvas, const Pose& pose) {
  const CharacterLook& look = pose.look;
  double h = pose.torsoHalf, c = kMiddle;
  double hem = look.top == Top::kCoat ? 38.5 : look.top == Top::kDress ? 29 : kWaistY;
  double flare = look.top == Top::kCoat ? 1.5 : 0;
  PaintPart(canvas, look.topColor, [&](Image& layer) {
    layer.FillPolygon({{c - h + 1, kShoulderY}, {c + h - 1, kShoulderY}, {c + h + 0.5, kShoulderY + 2.5},
                       {c + h - 0.5 + flare, hem}, {c - h + 0.5 - flare, hem}, {c - h - 0.5, kShoulderY + 2.5}},
                      0);
  }, Stripe(look));
  if (look.top == Top::kDress) {
    PaintPart(canvas, look.topColor, [&](Image& layer) {
      layer.FillPolygon({{c - h + 0.5, 28}, {c + h - 0.5, 28}, {c + h + 2.5, 38.5}, {c - h - 2.5, 38.5}}, 0);
    });
  }
}

// What the top shows in front: collar, stripe, pocket, buttons or belt.
void TorsoFront(Image& canvas, const Pose& pose) {
  const CharacterLook& look = pose.look;
  const View& view = pose.view;
  double c = kMiddle + (view.profile ? -2.5 : view.faceX);
  uint32_t trim = look.trim;
  int left = int(kMiddle - pose.torsoHalf) + 1, width = int(2 * pose.torsoHalf) - 1;
  switch (look.top) {
    case Top::kTshirt:
      canvas.FillRect(left, 24, width, 2, trim);
      break;
    case Top::kDress:
      canvas.FillRect(left, 27, width, 2, trim);
      break;
    case Top::kHoodie:
      if (view.back || view.profile) break;
      canvas.Line({c - 1.5, 20}, {c - 1.5, 24}, trim);
      canvas.Line({c + 1.5, 20}, {c + 1.5, 24}, trim);
      canvas.FrameRect(int(c) - 4, 26, 8, 5, Shade(look.topColor, -0.45));
      break;
    case Top::kCoat:
    case Top::kPyjamas:
      if (view.back) break;
      for (int y = 22; y < 38; y += 4) canvas.FillRect(int(c), y, 1 + !view.profile, 2, Shade(trim, look.top == Top::kCoat ? 0 : -0.4));
      break;
  }
  if (!view.back && look.top != Top::kHoodie) canvas.FillRect(int(c) - 1, int(kShoulderY), 3, 1, trim);  // collar
}

void Hood(Image& canvas, const Pose& pose) {
  if (pose.look.top != Top::kHoodie) return;
  const View& view = pose.view;
  double x = kMiddle + (view.profile ? 4 : view.hairX), y = view.back ? 21 : 19.5;
  PaintPart(canvas, pose.look.topColor, [&](Image& layer) { layer.FillEllipse(x, y, view.profile ? 3.5 : 6, 3.2, 0); });
}

void Neck(Image& canvas, const Pose& pose) {
  PaintPart(canvas, Shade(pose.look.skin, -0.15), [&](Image& layer) { layer.FillRect(int(kMiddle) - 3, 15, 6, 6, 0); });
}

void Backpack(Image& canvas, const Pose& pose) {
  const View& view = pose.view;
  uint32_t color = pose.look.extraColor;
  double x = kMiddle + view.packX;
  double half = view.back && !view.profile ? 5.5 : 3.5;
  PaintPart(canvas, color, [&](Image& layer) { layer.FillRect(int(x - half), 20, int(2 * half), 11, 0); });
  PaintPart(canvas, Shade(color, -0.2), [&](Image& layer) { layer.FillRect(int(x - half), 20, int(2 * half), 4, 0); });
}

void Straps(Image& canvas, const Pose& pose) {
  uint32_t color = Shade(pose.look.extraColor, -0.3);
  for (int side = 0; side < 2; side++) {
    if (pose.view.armBehind[side]) continue;
    double x = kMiddle + (side == 0 ? -1 : 1) * (pose.torsoHalf - 2) + pose.view.faceX / 2;
    canvas.FillRect(int(x), int(kShoulderY), 2, 8, color);
  }
}

void DrawPose(Image& canvas, const Pose& pose) {
  const View& view = pose.view;
  bool pack = pose.look.extra == Extra::kBackpack;
  bool packBehind = pack && !view.back && !view.profile && view.packX != 0;
  bool packOver = pack && (view.back || view.profile);
  if (!view.back) DrawLongHair(canvas, pose.look, view);
  if (packBehind) Backpack(canvas, pose);
  Arms(canvas, pose, true);
  Legs(canvas, pose);
  Neck(canvas, pose);
  if (!view.back) Hood(canvas, pose);
  Torso(canvas, pose);
  TorsoFront(canvas, pose);
  if (view.back) Hood(canvas, pose);
  if (view.back) DrawLongHair(canvas, pose.look, view);
  if (packOver) Backpack(canvas, pose);
  if (pack && !view.back && !view.profile) Straps(canvas, pose);
  Arms(canvas, pose, false);
  DrawHead(canvas, pose.look, view);
}

}  // namespace

Image DrawFigure(const CharacterLook& look, int direction, int phase) {
  auto [index, mirrored] = ViewOf(direction);
  const View& view = kViews[index];
  Pose pose{look, view, {phase == 0, phase != 0}, view.torsoHalf + (look.broad ? 1.5 : 0)};
  Image figure(kFigureWidth, kFigureHeight, kClear);
  DrawPose(figure, pose);
  return mirrored ? Mirrored(figure) : figure;
}
