#pragma once
// The kernels' loop over their register slots, unrolled at compile time: body(0) ..
// body(kCount - 1) with each index a constant, so that a slot's fields are named at compile
// time and can live in registers. Free of the standard library, as the kernels include it under
// wider instruction sets than the rest of the program.

template<int kIndex> struct SlotIndex
{
    static constexpr int value = kIndex;
};

template<int kCount, class Body> [[gnu::always_inline]] inline void ForEachSlot(Body &body)
{
    if constexpr (kCount > 0) {
        ForEachSlot<kCount - 1>(body);
        body(SlotIndex<kCount - 1>());
    }
}
