// Every built-in data block, by the file name --dump-data gives it.
#include "scenes/data_blocks.h"

#include "scenes/ball/ball.h"
#include "scenes/captions/captions.h"
#include "scenes/common/fx.h"
#include "scenes/lattice/lattice.h"
#include "scenes/sphere/sphere.h"
#include "scenes/swarm/swarm.h"
#include "scenes/swirl/swirl.h"

const DataBlock data_blocks[] = {
    {"sine_table.raw", sine_table, sizeof sine_table},
    {"face_picture.raw", face_picture, sizeof face_picture},
    {"font_picture.raw", font_picture, sizeof font_picture},
    {"logo_bitmap.raw", logo_bitmap, sizeof logo_bitmap},
    {"blob_sprite.raw", blob_sprite, sizeof blob_sprite},
    {"swarm_palette.pal", swarm_palette, sizeof swarm_palette},
    {"lattice_palette.pal", lattice_palette, sizeof lattice_palette},
    {"texture_tile.raw", texture_tile, sizeof texture_tile},
    {"fine_sine.raw", fine_sine, sizeof fine_sine},
    {"swirl_palette.pal", swirl_palette, sizeof swirl_palette},
    {"ball_mesh.bin", ball_mesh, sizeof ball_mesh},
    {"ball_palette.pal", ball_palette, sizeof ball_palette},
    {"sphere_model.bin", sphere_model, sizeof sphere_model},
    {"sphere_palette.pal", sphere_palette, sizeof sphere_palette},
    {"sphere_shade_table.raw", sphere_shade_table, sizeof sphere_shade_table},
};

const size_t data_block_count = sizeof data_blocks / sizeof data_blocks[0];
