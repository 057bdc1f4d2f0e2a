// Fixture: the other half; neither header includes the other.
#pragma once
