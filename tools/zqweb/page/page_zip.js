// SPDX-License-Identifier: MIT
// A ZIP file of stored (uncompressed) entries, names in UTF-8:
//   zqZip([{name, bytes}]) -> Uint8Array
'use strict';

const zqZip = (() => {
  const table = new Uint32Array(256);
  for (let n = 0; n < 256; ++n) {
    let c = n;
    for (let k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
    table[n] = c >>> 0;
  }
  const crc32 = (bytes) => {
    let c = 0xFFFFFFFF;
    for (let i = 0; i < bytes.length; ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >>> 8);
    return (c ^ 0xFFFFFFFF) >>> 0;
  };
  // The fields of a header: [bytes, value] pairs, little-endian.
  const header = (fields) => {
    const out = new Uint8Array(fields.reduce((n, [size]) => n + size, 0));
    let at = 0;
    for (const [size, value] of fields) {
      if (value instanceof Uint8Array) out.set(value, at);
      else for (let k = 0; k < size; ++k) out[at + k] = (value / 2 ** (8 * k)) & 0xFF;
      at += size;
    }
    return out;
  };
  const kUtf8Names = 0x0800;
  return (entries) => {
    const parts = [], central = [];
    let offset = 0;
    for (const e of entries) {
      const name = new TextEncoder().encode(e.name);
      const crc = crc32(e.bytes);
      const common = [[2, 10], [2, kUtf8Names], [2, 0], [2, 0], [2, 0x21], [4, crc], [4, e.bytes.length],
                      [4, e.bytes.length], [2, name.length], [2, 0]];
      const local = header([[4, 0x04034B50], ...common, [name.length, name]]);
      central.push(header([[4, 0x02014B50], [2, 20], ...common, [2, 0], [2, 0], [2, 0], [4, 0], [4, offset],
                           [name.length, name]]));
      parts.push(local, e.bytes);
      offset += local.length + e.bytes.length;
    }
    const size = central.reduce((n, c) => n + c.length, 0);
    const end = header([[4, 0x06054B50], [2, 0], [2, 0], [2, entries.length], [2, entries.length], [4, size],
                        [4, offset], [2, 0]]);
    const all = [...parts, ...central, end];
    const out = new Uint8Array(all.reduce((n, p) => n + p.length, 0));
    let at = 0;
    for (const p of all) {
      out.set(p, at);
      at += p.length;
    }
    return out;
  };
})();
