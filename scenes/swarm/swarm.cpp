#include "scenes/swarm/swarm.h"

void swarm_init() {}
void swarm_draw(uint8_t*) {}
void swarm_update(double) {}
