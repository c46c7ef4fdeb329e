// The tube's halo: the light at a quarter and at a sixteenth of the
// picture's resolution, each blurred by a Gaussian, and the two brought back
// to full size by bilinear steps, one row at a time. Small copies keep the
// wide blur cheap: at 1024 pixels the two hold 1/16 and 1/256 of the light's
// pixels.
#pragma once

#include <vector>

#include "host/tube/phosphor.h"

// Each copy is a quarter of the side of the one above.
inline constexpr int BLOOM_STEP = 4;

class bloom_t {
  public:
    explicit bloom_t(int size);

    // Takes the light as it is now (in its stored units).
    void build(const phosphor_t &light);

    // Row j of the halo at full size, in the light's stored units: the mean
    // of the two blurred copies. Writes row_room() values; the first `size`
    // are the row.
    void halo_row(int j, float *out) const;
    std::size_t row_room() const { return std::size_t(BLOOM_STEP) * quarter_.side; }

  private:
    // Where a pixel of a side BLOOM_STEP times larger falls between two pixels of a
    // level: the lower, the upper and the upper's weight.
    struct tap_t {
        int lo;
        int hi;
        float w;
    };
    using taps_t = std::vector<tap_t>;
    static taps_t taps_for(int out_side, int level_side);
    static void enlarge_row(const std::vector<float> &level, int side, const taps_t &taps, int j,
                            float *row, float *out);

    struct level_t {
        int side = 0;
        std::vector<float> pixels; // side * side, rows from the top
        std::vector<float> kernel; // the blur's weights, centre in the middle
    };

    level_t quarter_;
    level_t sixteenth_;
    std::vector<float> scratch_;     // one level's blur in flight
    std::vector<float> halo_;        // quarter size: both levels, before the last step up
    taps_t to_full_;                 // from the quarter to the picture
    taps_t to_quarter_;              // from the sixteenth to the quarter
    std::vector<float> wide_;        // the far copy's row, enlarged
    mutable std::vector<float> row_; // a level's row between two of its rows
};
