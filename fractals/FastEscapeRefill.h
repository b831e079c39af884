#pragma once
// The escape kernel that moves on one lane at a time, included by FastEscapeLanes.h under each
// level's instruction set. Where orbits are short, a register that waits for its slowest lane
// runs mostly finished lanes, and moving on a whole register costs a mispredicted branch
// whenever its last lane escapes. Here each lane carries its own pixel: at every test the lanes
// that are done hand their counts to a pending list and take the next pixels of a stream, with
// the same few operations whatever the lanes did, so nothing waits and nothing branches on the
// pixels. The stream holds the starts of one tile's pixels in order, the pending list the
// finished pixels until they are written out in a batch.
//
// A lane's tag is its pixel's offset in the buffer shifted up a byte, kept as the bit pattern of
// a double so that it moves with the lane's coordinates; the count goes in the low byte when the
// lane is done. Moves never change a double's bits, and no arithmetic touches a tag.

namespace fast {

namespace {

// Lanes with nothing left to do run a start that escapes at its first iteration (1e300 squared
// overflows to infinity, and its products with 0 stay 0), tagged so that its count is dropped.
constexpr double kIdleStart = 1e300;
constexpr int64_t kIdleTag = -256;

inline double TagBits(int64_t offset)
{
    double tag;
    const int64_t bits = offset << 8;
    __builtin_memcpy(&tag, &bits, sizeof tag);
    return tag;
}

// Lanes whose count byte has reached the last iteration; only the low kLanes bytes count.
template<int kLanes> inline unsigned AtLimit(uint64_t counts)
{
    constexpr uint64_t kOnes = 0x0101010101010101u;
    constexpr uint64_t kLow = 0x7F7F7F7F7F7F7F7Fu;
    const uint64_t x = counts ^ (kOnes * kLastIteration);
    // The high bit of each byte of x that is 0, with no carries between bytes.
    const uint64_t zero = ~(((x & kLow) + kLow) | x | kLow);
    // Gathers bit 7 of byte k into bit k.
    const unsigned lanes = static_cast<unsigned>(((zero >> 7) * 0x0102040810204080u) >> 56);
    return lanes & ((1u << kLanes) - 1);
}

// The starts of the pixels not yet in a lane, in the order the lanes take them. Mandelbrot keeps
// the constant in x and y and starts every orbit at 0.
template<class Lanes, bool kJulia> struct Stream
{
    static constexpr int kCapacity = kTileWidth * kTileHeight + 2 * Lanes::kLanes + kTileWidth;
    static_assert(kTileWidth % Lanes::kLanes == 0, "rows of whole registers");
    alignas(64) double x[kCapacity];
    alignas(64) double y[kCapacity];
    alignas(64) double tag[kCapacity];
    int pos;
    int end;
    bool drained; // no tile left: what follows is idle starts
};

// The pixels that are done, as tag | count, until they are written out.
template<class Lanes, int kSlots> struct Pending
{
    static constexpr int kFlushAt = 256;
    static constexpr int kCapacity = kFlushAt + (kSlots + 1) * Lanes::kLanes;
    alignas(64) double entry[kCapacity];
    int count;
};

// Appends the next tile's pixels at n, or a register of idle starts when none is left; returns
// the new end.
template<class Lanes, bool kJulia> int Append(Stream<Lanes, kJulia> &stream, int n, Feeder &feeder)
{
    Tile tile;
    if (stream.drained || !NextTile(feeder.queue, tile)) {
        stream.drained = true;
        for (int k = 0; k < Lanes::kLanes; ++k, ++n) {
            stream.x[n] = kIdleStart;
            stream.y[n] = 0.0;
            stream.tag[n] = TagBits(kIdleTag >> 8);
        }
        return n;
    }
    const EscapeJob &job = feeder.job;
    for (int r = 0; r < tile.rows; ++r) {
        const int row = tile.row + r;
        const auto rowValue = Lanes::Set(job.rowValues[row]);
        // Whole registers: the column table is padded past the tile, and what a register writes
        // past this row's last column the next row overwrites.
        for (int c = 0; c < tile.columns; c += Lanes::kLanes) {
            const auto columnValue = Lanes::Load(job.columnValues + tile.column + c);
            Lanes::Store(stream.x + n + c, columnValue);
            Lanes::Store(stream.y + n + c, rowValue);
        }
        const int64_t offset = static_cast<int64_t>(row) * job.width + tile.column;
        for (int c = 0; c < tile.columns; ++c)
            stream.tag[n + c] = TagBits(offset + c);
        n += tile.columns;
        feeder.working += tile.columns; // pixels taken and not yet written
    }
    return n;
}

template<class Lanes, bool kJulia>
[[gnu::noinline]] void TopUp(Stream<Lanes, kJulia> &stream, Feeder &feeder)
{
    // Fewer than a register's worth left: move them to the front, then append a tile.
    int n = 0;
    for (int i = stream.pos; i < stream.end; ++i, ++n) {
        stream.x[n] = stream.x[i];
        stream.y[n] = stream.y[i];
        stream.tag[n] = stream.tag[i];
    }
    stream.pos = 0;
    if (feeder.finished) {
        ReportFinished(feeder.queue, feeder.finished);
        feeder.finished = 0;
    }
    // Tiles at the picture's edges may hold fewer pixels than a register.
    while (n < Lanes::kLanes)
        n = Append(stream, n, feeder);
    stream.end = n;
}

template<class Lanes, int kSlots>
[[gnu::noinline]] void Flush(Pending<Lanes, kSlots> &pending, Feeder &feeder)
{
    uint8_t *buffer = feeder.job.buffer;
    int written = 0;
    for (int i = 0; i < pending.count; ++i) {
        int64_t bits;
        __builtin_memcpy(&bits, &pending.entry[i], sizeof bits);
        if (bits >= 0) {
            buffer[bits >> 8] = static_cast<uint8_t>(bits);
            ++written;
        }
    }
    pending.count = 0;
    feeder.finished += written;
    feeder.working -= written;
}

// The lanes of slot s that are done give up their pixels and take the stream's next ones.
template<class Lanes, bool kJulia, int kSlots>
[[gnu::always_inline]] inline void Refill(Slots<Lanes, kSlots> &slots, int s,
                                          Stream<Lanes, kJulia> &stream,
                                          Pending<Lanes, kSlots> &pending, Feeder &feeder)
{
    constexpr int kLanes = Lanes::kLanes;
    const uint64_t inside = slots.inside[s];
    const uint64_t counts = slots.counts[s];
    const unsigned done
        = (~static_cast<unsigned>(inside) | AtLimit<kLanes>(counts)) & ((1u << kLanes) - 1);
    // A lane still inside at the last iteration counts one more, 255.
    const uint64_t final = counts + kLaneBytes<kLanes>.of[inside];
    Lanes::Compress(Lanes::WithBytes(slots.tag[s], final), done, pending.entry + pending.count);
    const int taken = __builtin_popcount(done);
    pending.count += taken;
    if (__builtin_expect(stream.end - stream.pos < kLanes, 0))
        TopUp(stream, feeder);
    const int at = stream.pos;
    if constexpr (kJulia) {
        slots.x[s] = Lanes::Expand(slots.x[s], done, stream.x + at);
        slots.y[s] = Lanes::Expand(slots.y[s], done, stream.y + at);
        // The lanes still running squared the same x and y to the same bits.
        slots.xx[s] = Lanes::Mul(slots.x[s], slots.x[s]);
        slots.yy[s] = Lanes::Mul(slots.y[s], slots.y[s]);
    } else {
        slots.cx[s] = Lanes::Expand(slots.cx[s], done, stream.x + at);
        slots.cy[s] = Lanes::Expand(slots.cy[s], done, stream.y + at);
        slots.x[s] = Lanes::Zero(slots.x[s], done);
        slots.y[s] = Lanes::Zero(slots.y[s], done);
        slots.xx[s] = Lanes::Zero(slots.xx[s], done);
        slots.yy[s] = Lanes::Zero(slots.yy[s], done);
    }
    slots.tag[s] = Lanes::Expand(slots.tag[s], done, stream.tag + at);
    stream.pos = at + taken;
    slots.counts[s] = counts & ~(kLaneBytes<kLanes>.of[done] * 0xFF);
    slots.inside[s] = inside | done;
}

template<class Lanes, bool kJulia, Tuning kTuning>
[[gnu::noinline]] void EscapeLanesOf(const EscapeJob &job, TileQueue &queue)
{
    static_assert(kLastIteration % kTuning.testEvery == 0, "the test meets the last iteration");
    constexpr int kSlots = kTuning.slots;
    // `working` counts the pixels taken from the queue and not yet written.
    Feeder feeder {job, queue, {0, 0, 0, 0}, 0, 0, 0, 0};
    const Consts<Lanes> k {Lanes::Set(job.bailout), Lanes::Set(job.cx), Lanes::Set(job.cy),
                           Lanes::Set(2.0)};
    Stream<Lanes, kJulia> stream;
    stream.pos = stream.end = 0;
    stream.drained = false;
    Pending<Lanes, kSlots> pending;
    pending.count = 0;
    // Every lane starts done with an idle tag, so the first test hands it a pixel.
    Slots<Lanes, kSlots> slots {};
    auto start = [&](auto s) __attribute__((always_inline))
    {
        slots.tag[s.value] = Lanes::Set(TagBits(kIdleTag >> 8));
    };
    auto iterate = [&](auto s) __attribute__((always_inline))
    {
        Iterate<Lanes, kJulia, kTuning>(slots, s.value, k);
    };
    auto refill = [&](auto s) __attribute__((always_inline))
    {
        Refill(slots, s.value, stream, pending, feeder);
    };
    ForEachSlot<kSlots>(start);
    for (;;) {
        ForEachSlot<kSlots>(refill);
        if (__builtin_expect(pending.count >= pending.kFlushAt || stream.drained, 0)) {
            Flush(pending, feeder);
            if (stream.drained && feeder.working == 0)
                break;
        }
        for (int i = 0; i < kTuning.testEvery; ++i)
            ForEachSlot<kSlots>(iterate);
    }
    ReportFinished(queue, feeder.finished);
}

} // namespace

} // namespace fast
