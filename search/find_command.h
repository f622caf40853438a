#pragma once

namespace tavrik {

class Controls;

// Click of "FIND   PRIME   NUMBERS": reads the limits from Text1 and Text2 and
// either lists the primes between them or shows why not and empties the
// limit field(s) to be typed again.
void findPrimeNumbers(Controls& form);

} // namespace tavrik
