// Shared between the SDL platform's files only.
#pragma once
#include <SDL.h>

SDL_Window* sdl_main_window();
// Lets go of the renderer before its window goes.
void sdl_video_release();
// The window's content was lost (uncovered, restored): the next flip sends all of it again.
void sdl_video_exposed();
// The audio device the music plays through, 0 while none is open (for tests).
SDL_AudioDeviceID sdl_audio_device();
