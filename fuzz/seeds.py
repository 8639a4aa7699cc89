# Writes a small seed corpus for each fuzzer into the folder given as the first argument.
import gzip, os, struct, subprocess, sys, zlib

root = sys.argv[1]
def put(fuzzer, name, data):
    folder = os.path.join(root, fuzzer)
    os.makedirs(folder, exist_ok=True)
    open(os.path.join(folder, name), "wb").write(data)

plist = b"""<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>a</key><integer>5</integer><key>b</key><true/>
<key>c</key><array><string>x &amp; y</string><real>2.5</real><dict><key>k</key><false/></dict></array>
<key>d</key><dict><key>e</key><string>\xc3\xbc</string></dict></dict></plist>
"""
put("plist_fuzzer", "nested.plist", plist)
put("plist_fuzzer", "array.plist", b"<plist><array><string>a</string></array></plist>")
put("plist_fuzzer", "dup.plist", b"<plist><dict><key>a</key><string>1</string><key>a</key><dict/></dict></plist>")

text = b"particle texture " * 40
put("compressed_fuzzer", "zlib.bin", zlib.compress(text))
put("compressed_fuzzer", "gzip.gz", gzip.compress(text))
put("compressed_fuzzer", "two.gz", gzip.compress(b"one") + gzip.compress(b"two"))
put("compressed_fuzzer", "data.ccz", b"CCZ!" + struct.pack(">HHII", 0, 2, 0, len(text)) + zlib.compress(text))
put("compressed_fuzzer", "base64.txt", b"cGFydGljbGUg\r\ndGV4dHVyZQ==")

def pvr(w, h, ptype, bpp, levels):
    data = b""
    for _ in range(levels):
        data += bytes((i * 7) & 0xFF for i in range(max(w, 2) * max(h, 2) * bpp // 8))
        w, h = max(w // 2, 1), max(h // 2, 1)
    head = struct.pack("<11I", 52, h, w, levels - 1, ptype, len(data), bpp, 0, 0, 0, 0xFF)
    return head + b"PVR!" + struct.pack("<I", 1) + data
body = pvr(8, 4, 0x12, 32, 4)
put("pvr_fuzzer", "rgba.pvr", body)
put("pvr_fuzzer", "a8.pvr", pvr(4, 4, 0x1B, 8, 3))
put("pvr_fuzzer", "rgb565.pvr", pvr(2, 8, 0x13, 16, 4))
put("pvr_fuzzer", "rgba.pvr.ccz", b"CCZ!" + struct.pack(">HHII", 0, 2, 0, len(body)) + zlib.compress(body))
put("pvr_fuzzer", "rgba.pvr.gz", gzip.compress(body))

# Answers as the game server writes them, by the openssl command line: passphrase length, passphrase, text.
def answer(passphrase, text):
    cipher = subprocess.run(["openssl", "enc", "-aes-256-cbc", "-md", "md5", "-a", "-pass", "pass:" + passphrase],
                            input=text, capture_output=True, check=True).stdout
    return bytes([len(passphrase)]) + passphrase.encode() + cipher
put("gibberishaes_fuzzer", "login.txt", answer("secret", b'{"status":"success","data":{"token":"t"}}'))
put("gibberishaes_fuzzer", "long.txt", answer("game secret 42", b'{"status":"error","data":{"code":7}}' * 9))
put("gibberishaes_fuzzer", "empty.txt", answer("p", b""))
put("gibberishaes_fuzzer", "html.txt", b"\x01p<html><body>500 Internal Server Error</body></html>")
fnt = (b'info face="Seed" size=16 bold=0 padding=1,2,3,4 spacing=1,1\n'
       b'common lineHeight=32 base=26 scaleW=64 scaleH=32 pages=1 packed=0\n'
       b'page id=0 file="atlas.png"\n'
       b'chars count=2\n'
       b'char id=65 x=0 y=0 width=8 height=16 xoffset=1 yoffset=4 xadvance=10 page=0 chnl=0\n'
       b'char id=86 x=8 y=0 width=8 height=16 xoffset=1 yoffset=4 xadvance=10 page=0 chnl=0\n'
       b'kernings count=1\n'
       b'kerning first=65 second=86 amount=-2\n')
put("fnt_fuzzer", "font.fnt", fnt)
put("fnt_fuzzer", "crlf.fnt", fnt.replace(b"\n", b"\r\n"))
put("fnt_fuzzer", "pages.fnt", fnt.replace(b"pages=1", b"pages=2") + b'page id=1 file="second.png"\n')
import base64, plistlib
def png(w, h, rgba):
    rows = b"".join(b"\0" + bytes(rgba) * w for _ in range(h))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    head = struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")
texture = base64.b64encode(gzip.compress(png(4, 4, (255, 128, 0, 255)))).decode()
effect = {"maxParticles": 20, "particleLifespan": 0.5, "particleLifespanVariance": 0.2, "duration": -1.0,
          "angle": 90.0, "angleVariance": 30.0, "speed": 80.0, "speedVariance": 10.0, "gravityx": 0.0,
          "gravityy": -50.0, "radialAcceleration": 5.0, "tangentialAcceleration": -5.0,
          "startParticleSize": 8.0, "finishParticleSize": -1.0, "startColorRed": 1.0, "startColorAlpha": 1.0,
          "finishColorGreen": 0.5, "rotationStart": 10.0, "rotationEnd": 90.0, "blendFuncSource": 770,
          "blendFuncDestination": 1, "emitterType": 0, "textureFileName": "missing.png",
          "textureImageData": texture}
put("particle_plist_fuzzer", "gravity.plist", plistlib.dumps(effect))
radius = dict(effect, emitterType=1, maxRadius=60.0, maxRadiusVariance=5.0, minRadius=-1.0, rotatePerSecond=180.0)
put("particle_plist_fuzzer", "radius.plist", plistlib.dumps(radius))
put("particle_plist_fuzzer", "zlib.plist", plistlib.dumps(dict(effect, textureImageData=base64.b64encode(
    zlib.compress(png(2, 2, (0, 0, 255, 128)))).decode(), emitterType=True)))

import json
fire = {"FireParticle": {"angleVariance": 0, "blendFuncDestination": 1, "blendFuncSource": 770, "duration": 0,
                         "emitterType": 0, "finishColor": "#000000", "finishColorAlpha": 0, "gravity": "0.0, 0.0",
                         "maxParticles": 42, "particleLifespan": 0.9000000000000000222, "rotation": 0,
                         "sourcePositionVariance": "7.0, 1000.0", "speed": 85, "startColor": "#c2401f",
                         "startColorAlpha": 1, "textureFileName": "particleFire.png", "visible": True, "x": 0}}
put("particle_effect_fuzzer", "fire.json", json.dumps(fire, sort_keys=True).encode())
put("particle_effect_fuzzer", "two.json", b'{ "b": { "speed": 1 }, "Z": { "speedVariance": 2, "opacity": 0.5, "custom": [1] } }')
put("particle_effect_fuzzer", "types.json", b'{ "E": { "speed": "fast", "startColor": 3, "gravity": "1,2,3", "maxParticles": 1e300 } }')
frame = {"frame": {"x": 0, "y": 0, "w": 16, "h": 16}, "rotated": False, "trimmed": True,
         "spriteSourceSize": {"x": 2, "y": 3, "w": 10, "h": 11}, "sourceSize": {"w": 15, "h": 17}}
sheet = {"frames": {"walk-0.png": frame, "walk-1.png": dict(frame, rotated=True, trimmed=False)},
         "meta": {"image": "walk-hd.png", "format": "RGBA5551", "size": {"w": 64, "h": 16}}}
put("spritesheet_json_fuzzer", "sheet.json", json.dumps(sheet, indent=1).encode())
# Formats the sheet's image cannot be made in (compressed ones with a PNG), and the PVR file that can be.
for name, image in (("PVRTC4", "sheet.png"), ("PVRTC2", "sheet.jpg"), ("PVRTC4", "sheet.pvr"), ("RGB565", "sheet.png")):
    put("spritesheet_json_fuzzer", name + "-" + image + ".json", json.dumps(
        dict(sheet, meta={"image": image, "format": name})).encode())
put("spritesheet_json_fuzzer", "wrong-types.json", json.dumps(
    {"frames": {"a": {"frame": {"x": "1", "y": -2, "w": 1e9, "h": None}, "sourceSize": []}}, "meta": 3}).encode())

# User-default files: the store's own, and damaged ones as players' files were found.
import base64 as _b64
put("userdefault_fuzzer", "sound.xml", b'<?xml version="1.0"?>\n<userDefaultRoot><sound>true</sound><n>5</n>'
    b'<f>1.500000</f><name>x &amp; &lt;y&gt;</name><empty/></userDefaultRoot>\n')
put("userdefault_fuzzer", "utf4-broken.xml", _b64.b64decode(
    "PD88P3htbCB2ZXJzaW9uPWVyc2lvbj0iMS4wIj8+Cjx1c2VyRGVmYXVsdFJvb3Q+PjxiPjE8L3VzZXJEZWZhdWx0Um9vdHkiPl0+PHVzZXJD"
    "VFlQRSByIFs8IUUOVElUWSBlICJ4WzwhRQ5USVRZIGVpb249IjEuMCIgZW5jb2Rpbmc9InV0Zi00Ij8+CiI+XT48dXNlckNUWVDHIHIgPjwv"
    "dD4="))
put("userdefault_fuzzer", "utf4.xml", b'<?xml version="1.0" encoding="utf-4"?>\n<userDefaultRoot><a>1</a></userDefaultRoot>\n')
put("userdefault_fuzzer", "unknown-encoding.xml", b'<?xml version="1.0" encoding="x-none"?><userDefaultRoot><a>2</a>')
put("userdefault_fuzzer", "utf16-declared.xml", b'<?xml version="1.0" encoding="UTF-16"?><userDefaultRoot><a>3</a></userDefaultRoot>')
put("userdefault_fuzzer", "truncated.xml", b'<?xml version="1.0"?>\n<userDefaultRoot><a>5</a><text>o')
put("userdefault_fuzzer", "garbage.bin", b"\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR\xff\xfe\x00\x01<\xc7>")
put("userdefault_fuzzer", "other-root.xml", b'<?xml version="1.0"?>\n<settings><text>old</text><a>1</a></settings>\n')
put("userdefault_fuzzer", "doctype.xml", b'<!DOCTYPE r [<!ENTITY e "x&#38;y">]><userDefaultRoot><a>&e;</a><b><c>1</c>2</b>'
    b'<!-- note --><d a="1">4</d></userDefaultRoot>')
put("userdefault_fuzzer", "empty.xml", b"")
