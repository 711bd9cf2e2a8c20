#pragma once
// Every value the game keeps between events, in declaration order; all zero
// when the window is created.

#include <cstdint>

namespace zorukan::game {

struct GameState {
    std::int32_t Speed = 0;       // launch speed, twips per tick
    std::int16_t Angle = 0;       // launch angle, degrees
    std::int16_t FlightTime = 0;  // flight ticks since launch
    std::int16_t Gravity = 0;     // twips per tick squared; 10 after load
    std::int32_t PosXA = 0;       // points A and B are the two latest shell
    std::int32_t PosXB = 0;       // positions; flight ticks write them in turn
    std::int32_t PosYA = 0;
    std::int32_t PosYB = 0;
    std::int16_t PowerDir = 0;   // 0: the power bar grows, 1: it shrinks
    std::int16_t TvBroken = 0;   // 1 once the television is hit in this shot
    std::int16_t TickCount = 0;  // every flight tick since start; its parity picks A or B
};

}  // namespace zorukan::game
