#pragma once

// The resource that holds the reader program compiled books begin with.
#define kCarriedReader 101
