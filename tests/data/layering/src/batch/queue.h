// Fixture: one half of a circle that only the pairing of x.h with x.cpp shows.
#pragma once
