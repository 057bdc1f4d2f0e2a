// Fixture: included one way only, by the queue and by its own inside; not a circle.
#pragma once
