// The ten maps of the game in MapTable order: map number k is kMapNames[k], stored as
// levels/maps/<name>.lvl. Map 0 is the town, where every game starts.
#pragma once

#include <array>
#include <string_view>

inline constexpr std::array<std::string_view, 10> kMapNames = {
    "main", "drugstore", "burger", "townhall", "arcade",
    "hospital", "arcade2", "townhall2", "townhall3", "mayoroffice"};

// A player's sprite cell and its step per tick, as the game sets them.
inline constexpr int kPlayerWidth = 32, kPlayerHeight = 48, kPlayerSpeed = 7;

// The main level must hold exactly this many obstacles, whose x values add up to this sum:
// the game refuses to start otherwise.
inline constexpr int kMainObstacleCount = 64, kMainObstacleXSum = 49534;

// Where each player slot starts on the main map (the game's SpawnTable).
inline constexpr std::array<std::array<int, 2>, 15> kSpawnPoints = {{
    {350, 200}, {1100, 230}, {1600, 200}, {500, 500}, {310, 820}, {1050, 800}, {1750, 830}, {400, 1300},
    {1000, 1430}, {1275, 1350}, {1500, 1100}, {310, 500}, {690, 1025}, {1180, 600}, {1800, 200},
}};

// Players whose position lies in this rectangle (inclusive) cannot be tagged.
inline constexpr int kSafeLeft = 961, kSafeRight = 1269, kSafeTop = 1083, kSafeBottom = 1225;
