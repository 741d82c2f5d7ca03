// Pixel and mouse tests of the transparent image button.
