<?xml version="1.0" encoding="UTF-8"?>
<Ableton MajorVersion="5" MinorVersion="12.0_12049" Creator="Ableton Live 12.0">
<LiveSet><Tracks><AudioTrack><DeviceChain><DeviceChain><Devices>
<PluginDevice Id="0"><PluginDesc><VstPluginInfo Id="0"><PlugName Value="ValhallaVintageVerb"/><UniqueId Value="1986356531"/><Path Value="C:/VST/ValhallaVintageVerb_x64.dll"/><Preset><VstPreset><Name Value="preset"/></VstPreset></Preset></VstPluginInfo></PluginDesc></PluginDevice>
<PluginDevice Id="1"><BrowserContentPath Value="query:Plugins#VST3:Arturia:Delay%20BRIGADE"/><PluginDesc><Vst3PluginInfo Id="0"><Name Value="Delay BRIGADE"/><Uid><Fields.0 Value="1098019957"/><Fields.1 Value="-1"/><Fields.2 Value="1298481778"/><Fields.3 Value="1349676899"/></Uid></Vst3PluginInfo></PluginDesc></PluginDevice>
<AudioEffectGroupDevice><Branches><AudioEffectBranch><DeviceChain><AudioToAudioDeviceChain><Devices>
<AuPluginDevice Id="2"><PluginDesc><AuPluginInfo Id="0"><Name Value="AUDelay"/><Manufacturer Value="Apple"/><ComponentType Value="1635083896"/><ComponentSubType Value="1684368505"/><ComponentManufacturer Value="1634758764"/></AuPluginInfo></PluginDesc></AuPluginDevice>
</Devices></AudioToAudioDeviceChain></DeviceChain></AudioEffectBranch></Branches></AudioEffectGroupDevice>
<Reverb Id="3"/>
</Devices></DeviceChain></DeviceChain></AudioTrack></Tracks><MainTrack/></LiveSet></Ableton>
