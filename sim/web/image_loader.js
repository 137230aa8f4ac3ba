// SPDX-License-Identifier: MIT
// Program images in the page. An image is a WebAssembly side module built
// from the program's sources; it shares the page's linear memory and function
// table with the stand-in and imports nothing but firmware services (checked
// here, import by import, against the stand-in's own table of them). Every
// load makes a new instance with static data of its own, zeroed and filled
// from the image, so that every load starts with fresh static state.
mergeInto(LibraryManager.library, {
  $zqImages__deps: ['malloc', 'free'],
  $zqImages: {
    // Imports a side module takes from whoever loads it, services aside.
    linking: ['memory', '__indirect_function_table', '__memory_base', '__table_base', '__stack_pointer'],
    stackBytes: 256 * 1024,
    open: [],
    // The memory and table the image asks for, from its "dylink" section.
    layout: function(module) {
      var sections = WebAssembly.Module.customSections(module, 'dylink.0');
      var old = sections.length === 0;
      if (old) sections = WebAssembly.Module.customSections(module, 'dylink');
      if (sections.length === 0) return null;
      var bytes = new Uint8Array(sections[0]);
      var at = 0;
      function leb() {
        var value = 0, scale = 1, b;
        do {
          if (at >= bytes.length) throw new Error('truncated');
          b = bytes[at++];
          value += (b & 0x7f) * scale;
          scale *= 128;
        } while (b & 0x80);
        return value;
      }
      function memInfo() {
        return {memorySize: leb(), memoryAlign: leb(), tableSize: leb(), tableAlign: leb()};
      }
      try {
        if (old) return memInfo();
        while (at < bytes.length) {
          var type = bytes[at++];
          var size = leb();
          if (type === 1) return memInfo();
          at += size;
        }
      } catch (e) {
      }
      return null;
    },
    // Every import of the image checked before anything runs: firmware
    // services by name (their functions, from the stand-in's table), the
    // linking a side module needs, and addresses of the image's own symbols.
    // {refused: why} when an import is none of these.
    links: function(module) {
      var exported = {};
      WebAssembly.Module.exports(module).forEach(function(e) { exported[e.name] = e.kind; });
      var result = {services: {}, gotFunc: [], gotMem: []};
      var imports = WebAssembly.Module.imports(module);
      for (var i = 0; i < imports.length; ++i) {
        var imp = imports[i], name = imp.name;
        var service = 0;
        if ((imp.module === 'env' && imp.kind === 'function') || imp.module === 'GOT.func') {
          var name_size = lengthBytesUTF8(name) + 1;
          var name_ptr = _malloc(name_size);
          stringToUTF8(name, name_ptr, name_size);
          service = _ZqServiceIndex(name_ptr);
          _free(name_ptr);
        }
        if (imp.module === 'env' && imp.kind === 'function') {
          if (!service) return {refused: 'imports ' + name + ', which is not a firmware service'};
          result.services[name] = wasmTable.get(service);
        } else if (imp.module === 'env' && zqImages.linking.indexOf(name) >= 0) {
        } else if (imp.module === 'GOT.func' && (service || exported[name] === 'function')) {
          result.gotFunc.push({name: name, service: service});
        } else if (imp.module === 'GOT.mem' && exported[name] === 'global') {
          result.gotMem.push(name);
        } else {
          return {refused: 'imports ' + imp.module + '.' + name + ', which is not a firmware service'};
        }
      }
      return result;
    },
    // The function-table index of a wasm function, added once.
    tableIndex: function(image, fn) {
      var index = wasmTable.length;
      wasmTable.grow(1);
      wasmTable.set(index, fn);
      image.slots.push(index);
      return index;
    },
  },

  ZqImageOpen__deps: ['$zqImages', '$FS', 'malloc', 'free'],
  ZqImageOpen: function(path_ptr, why_ptr, why_size) {
    var path = UTF8ToString(path_ptr);
    function refuse(text) {
      if (why_ptr && why_size > 0) stringToUTF8(path + ': ' + text, why_ptr, why_size);
      return 0;
    }
    var module;
    try {
      module = new WebAssembly.Module(FS.readFile(path));
    } catch (e) {
      return refuse(e && e.name === 'CompileError' ? 'not a WebAssembly program image' : 'cannot read the image file');
    }
    var layout = zqImages.layout(module);
    if (!layout) return refuse('not a program image (no dylink section)');
    var links = zqImages.links(module);
    if (links.refused) return refuse(links.refused);
    var services = links.services, gotFunc = links.gotFunc, gotMem = links.gotMem;
    var align = Math.max(Math.pow(2, layout.memoryAlign), 16);
    var block = _malloc(layout.memorySize + align + zqImages.stackBytes);
    if (!block) return refuse('no memory for the image');
    HEAPU8.fill(0, block, block + layout.memorySize + align + zqImages.stackBytes);
    var memoryBase = (block + align - 1) & ~(align - 1);
    var stackTop = (memoryBase + layout.memorySize + zqImages.stackBytes) & ~15;
    var tableBase = wasmTable.length;
    if (layout.tableSize) wasmTable.grow(layout.tableSize);
    var env = {
      memory: wasmMemory,
      __indirect_function_table: wasmTable,
      __memory_base: new WebAssembly.Global({value: 'i32', mutable: false}, memoryBase),
      __table_base: new WebAssembly.Global({value: 'i32', mutable: false}, tableBase),
      __stack_pointer: new WebAssembly.Global({value: 'i32', mutable: true}, stackTop),
    };
    Object.assign(env, services);
    var got = {'GOT.func': {}, 'GOT.mem': {}};
    gotFunc.forEach(function(g) { got['GOT.func'][g.name] = new WebAssembly.Global({value: 'i32', mutable: true}, g.service); });
    gotMem.forEach(function(name) { got['GOT.mem'][name] = new WebAssembly.Global({value: 'i32', mutable: true}, 0); });
    var instance;
    try {
      instance = new WebAssembly.Instance(module, {env: env, 'GOT.func': got['GOT.func'], 'GOT.mem': got['GOT.mem']});
    } catch (e) {
      _free(block);
      return refuse('cannot be instantiated: ' + e.message);
    }
    var image = {instance: instance, block: block, memoryBase: memoryBase, functions: {}, slots: []};
    for (var t = 0; t < layout.tableSize; ++t) image.slots.push(tableBase + t);
    // The image's own addresses, before its data is relocated with them.
    gotFunc.forEach(function(g) {
      if (!g.service) got['GOT.func'][g.name].value = zqImages.tableIndex(image, instance.exports[g.name]);
    });
    gotMem.forEach(function(name) { got['GOT.mem'][name].value = memoryBase + instance.exports[name].value; });
    if (instance.exports.__wasm_apply_data_relocs) instance.exports.__wasm_apply_data_relocs();
    if (instance.exports.__wasm_call_ctors) instance.exports.__wasm_call_ctors();
    var slot = zqImages.open.indexOf(null);
    if (slot < 0) slot = zqImages.open.push(null) - 1;
    zqImages.open[slot] = image;
    return slot + 1;
  },

  ZqImageSymbol__deps: ['$zqImages'],
  ZqImageSymbol: function(handle, name_ptr) {
    var image = zqImages.open[handle - 1];
    if (!image) return 0;
    var name = UTF8ToString(name_ptr);
    var e = image.instance.exports[name];
    if (e instanceof WebAssembly.Global) return image.memoryBase + e.value;
    if (typeof e !== 'function' || name.indexOf('__') === 0) return 0;
    if (!(name in image.functions)) image.functions[name] = zqImages.tableIndex(image, e);
    return image.functions[name];
  },

  ZqImageClose__deps: ['$zqImages', 'free'],
  ZqImageClose: function(handle) {
    var image = zqImages.open[handle - 1];
    if (!image) return;
    // The table keeps its length; the image's entries no longer lead to it.
    image.slots.forEach(function(index) { wasmTable.set(index, null); });
    _free(image.block);
    zqImages.open[handle - 1] = null;
  },
});
