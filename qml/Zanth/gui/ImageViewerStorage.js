// The thumbnails one image viewer made (no library marker: each viewer has its own list).
var thumbnails = []
