#pragma once
// The acts of one patient stay.

class Panier {
public:
};
